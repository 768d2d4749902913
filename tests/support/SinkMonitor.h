#pragma once
// What the null sink of the test services plays, recorded from its monitor
// through parec (mono, 16 bit): how many samples were loud enough to be sound
// rather than the silence the sink renders on its own, and which marked
// second (support/MarkedRecording.h) the last half second was.
#include "support/MarkedRecording.h"
#include "support/SinkListener.h"

#include <cstdlib>
#include <vector>

namespace pellam::test {

class SinkMonitor {
public:
    explicit SinkMonitor(int rate) : m_rate(rate), m_listener(rate, [this](auto samples) { Heard(samples); }) { }
    bool Start() { return m_listener.Start(); }
    qint64 LoudSamples() const { return m_loud; }
    // The second heard in the last half second when all of it was sound; -1 otherwise.
    int LastSecond() const
    {
        const std::size_t window = static_cast<std::size_t>(m_rate) / 2;
        if (m_recent.size() < window)
            return -1;
        const std::span<const std::int16_t> last(m_recent.data() + m_recent.size() - window, window);
        for (std::size_t i = 0; i + 5 < window; i += 40)
            if (std::abs(last[i]) < 300 && std::abs(last[i + 5]) < 300)
                return -1;
        return SecondHeard(last, m_rate);
    }

private:
    void Heard(std::span<const std::int16_t> samples)
    {
        for (const std::int16_t v : samples) {
            m_loud += std::abs(v) > 1000;
            m_recent.push_back(v);
        }
        if (m_recent.size() > 4u * static_cast<std::size_t>(m_rate))
            m_recent.erase(m_recent.begin(), m_recent.end() - m_rate);
    }

    const int m_rate;
    qint64 m_loud = 0;
    std::vector<std::int16_t> m_recent;
    SinkListener m_listener; // last: it hands samples to the members above
};

} // namespace pellam::test
