#pragma once
// The recording-details window opens tiny and grows every 10 ms until it is
// 4065 x 1530 twips: 300 twips wider and 150 taller per step.
namespace pellam {

class InfoSGrowth {
public:
    static constexpr int kTickMs = 10;
    static constexpr int kTargetWidth = 4065;
    static constexpr int kTargetHeight = 1530;

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool done() const { return m_widthReached && m_heightReached; }

    void tick()
    {
        if (m_height < kTargetHeight) {
            if (m_height + 150 >= kTargetHeight) {
                m_height = kTargetHeight;
                m_heightReached = true;
            } else {
                m_height += 150;
            }
        }
        if (m_width < kTargetWidth) {
            if (m_width + 300 >= kTargetWidth) {
                m_width = kTargetWidth;
                m_widthReached = true;
            } else {
                m_width += 300;
            }
        }
    }

private:
    int m_width = 10;
    int m_height = 10;
    bool m_widthReached = false;
    bool m_heightReached = false;
};

} // namespace pellam
