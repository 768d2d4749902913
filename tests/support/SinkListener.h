#pragma once
// The null sink of the test services as its monitor plays it, through parec:
// mono, 16 bit, handed on in pieces as they arrive on the event loop.
#include <QProcess>

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace pellam::test {

class SinkListener {
public:
    using Heard = std::function<void(std::span<const std::int16_t>)>;
    SinkListener(int rate, Heard heard) : m_rate(rate), m_heard(std::move(heard)) { }
    bool Start()
    {
        QObject::connect(&m_parec, &QProcess::readyReadStandardOutput, [this] { Read(); });
        m_parec.start("parec",
            {"--device=testsink.monitor", "--raw", "--format=s16le", "--channels=1", QString("--rate=%1").arg(m_rate),
                "--latency-msec=20"});
        return m_parec.waitForStarted(5000);
    }
    ~SinkListener()
    {
        m_parec.kill();
        m_parec.waitForFinished(5000);
    }

private:
    void Read()
    {
        m_pending += m_parec.readAllStandardOutput();
        const qsizetype whole = m_pending.size() / 2 * 2;
        m_samples.resize(static_cast<std::size_t>(whole / 2));
        for (std::size_t i = 0; i < m_samples.size(); ++i)
            m_samples[i] = static_cast<std::int16_t>(
                static_cast<std::uint8_t>(m_pending[2 * i]) | (static_cast<std::uint8_t>(m_pending[2 * i + 1]) << 8));
        m_pending.remove(0, whole);
        m_heard(m_samples);
    }

    const int m_rate;
    Heard m_heard;
    QProcess m_parec;
    QByteArray m_pending;
    std::vector<std::int16_t> m_samples;
};

} // namespace pellam::test
