#pragma once
// The recording-details window opens tiny and grows every 10 ms until it is
// 4065 x 1530 twips: 300 twips wider and 150 taller per step. A window that
// shows more than the tag (the SHA-256 line) grows on to a larger size the
// same way.
#include <algorithm>

namespace pellam {

class InfoSGrowth {
public:
    static constexpr int kTickMs = 10;
    static constexpr int kTargetWidth = 4065;
    static constexpr int kTargetHeight = 1530;

    InfoSGrowth() = default;
    // Grows to at least the tag's size, further where asked to.
    InfoSGrowth(int targetWidth, int targetHeight)
        : m_targetWidth(std::max(targetWidth, kTargetWidth)), m_targetHeight(std::max(targetHeight, kTargetHeight))
    { }

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool done() const { return m_widthReached && m_heightReached; }

    void tick()
    {
        if (m_height < m_targetHeight) {
            if (m_height + 150 >= m_targetHeight) {
                m_height = m_targetHeight;
                m_heightReached = true;
            } else {
                m_height += 150;
            }
        }
        if (m_width < m_targetWidth) {
            if (m_width + 300 >= m_targetWidth) {
                m_width = m_targetWidth;
                m_widthReached = true;
            } else {
                m_width += 300;
            }
        }
    }

private:
    int m_targetWidth = kTargetWidth;
    int m_targetHeight = kTargetHeight;
    int m_width = 10;
    int m_height = 10;
    bool m_widthReached = false;
    bool m_heightReached = false;
};

} // namespace pellam
