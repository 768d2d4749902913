#include "audio/ui/QtWaveBackend.h"

#include "base/Rounding.h"

#include <QIODevice>
#include <QMediaDevices>
#include <QtGlobal>

#include <algorithm>

namespace pellam {

namespace {
constexpr int kPollMs = 10;
// Polls without progress, with every byte handed over, after which the sink is
// taken to have played out everything it was given (its time can stop a
// fraction short of the end).
constexpr int kStallPolls = 15;
// Polls without progress after which a sink holding the last bytes is told to
// play them: a stream that has not reached its start threshold waits for more.
constexpr int kKickPolls = 3;
// The sink's buffer asked for on every start.
constexpr std::int64_t kBufferMs = 200;

QAudioFormat ToQt(const WaveFormat& f)
{
    QAudioFormat q;
    q.setSampleRate(static_cast<int>(f.samplesPerSec));
    q.setChannelCount(f.channels);
    switch (f.bitsPerSample) {
    case 8:
        q.setSampleFormat(QAudioFormat::UInt8);
        break;
    case 16:
        q.setSampleFormat(QAudioFormat::Int16);
        break;
    case 32:
        q.setSampleFormat(QAudioFormat::Int32);
        break;
    default:
        q.setSampleFormat(QAudioFormat::Unknown);
        break;
    }
    return q;
}
} // namespace

// The bytes written and not yet handed to the sink, oldest buffer first.
class QtWaveBackend::Queue {
public:
    void Append(std::vector<std::uint8_t> bytes)
    {
        if (!bytes.empty())
            m_chunks.push_back({std::move(bytes), 0});
    }
    void Clear()
    {
        m_chunks.clear();
        m_handed = 0;
    }
    bool Empty() const { return m_chunks.empty(); }
    std::int64_t Handed() const { return m_handed; }

    // Writes up to `room` bytes, whole frames only, into the sink's input, in
    // pieces the sound server takes in one go; stops at the first short write.
    void WriteTo(QIODevice& input, std::int64_t room, std::int64_t frame)
    {
        if (frame <= 0)
            return;
        room -= room % frame;
        const std::int64_t piece = kPieceBytes - kPieceBytes % frame;
        while (room > 0 && !m_chunks.empty()) {
            auto& c = m_chunks.front();
            const auto left = static_cast<std::int64_t>(c.bytes.size() - c.offset);
            const std::int64_t n = std::min({room, left, piece});
            const qint64 written = input.write(reinterpret_cast<const char*>(c.bytes.data() + c.offset), n);
            if (written <= 0)
                return;
            c.offset += static_cast<std::size_t>(written);
            room -= written;
            m_handed += written;
            if (c.offset == c.bytes.size())
                m_chunks.pop_front();
            if (written < n)
                return;
        }
    }

private:
    static constexpr std::int64_t kPieceBytes = 8192;
    struct Chunk {
        std::vector<std::uint8_t> bytes;
        std::size_t offset;
    };
    std::deque<Chunk> m_chunks;
    std::int64_t m_handed = 0; // bytes handed to the sink since the last reset
};

QtWaveBackend::QtWaveBackend() : m_queue(std::make_unique<Queue>())
{
    m_poll.setInterval(kPollMs);
    QObject::connect(&m_poll, &QTimer::timeout, [this] { Poll(); });
}

QtWaveBackend::~QtWaveBackend()
{
    Close();
}

QAudioDevice QtWaveBackend::DeviceAt(std::int32_t device) const
{
    if (device == -1)
        return QMediaDevices::defaultAudioOutput();
    const auto all = QMediaDevices::audioOutputs();
    if (device < 0 || device >= all.size())
        return {};
    return all[device];
}

bool QtWaveBackend::StartSink()
{
    m_queue->Clear();
    m_input = nullptr;
    // The same buffer on every start. Left alone, the sink asks the server for
    // the buffer it was granted last time, which the server trims again, so
    // that every restart shrinks it until the stream no longer starts.
    const std::int64_t frame = std::max<std::int64_t>(m_format.blockAlign, 1);
    const std::int64_t bytes = std::int64_t {m_format.avgBytesPerSec} * kBufferMs / 1000;
    m_sink->setBufferSize(static_cast<qsizetype>(std::max(bytes - bytes % frame, frame)));
    m_input = m_sink->start();
    if (m_input == nullptr || (m_sink->state() == QAudio::StoppedState && m_sink->error() != QAudio::NoError)) {
        m_input = nullptr;
        return false;
    }
    if (m_paused)
        m_sink->suspend();
    return true;
}

bool QtWaveBackend::Open(const WaveFormat& format, std::int32_t device, DoneCallback onDone)
{
    Close();
    const QAudioDevice dev = DeviceAt(device);
    const QAudioFormat qf = ToQt(format);
    if (dev.isNull() || !qf.isValid())
        return false;
    m_format = format;
    m_device = device;
    m_paused = true;
    m_sink = std::make_unique<QAudioSink>(dev, qf);
    ApplyVolume();
    if (!StartSink()) {
        m_sink.reset();
        return false;
    }
    m_onDone = std::move(onDone);
    m_pending.clear();
    m_written = 0;
    m_lastPlayed = -1;
    m_stalledPolls = 0;
    return true;
}

void QtWaveBackend::Close()
{
    m_poll.stop();
    m_input = nullptr;
    if (m_sink) {
        m_sink->stop();
        m_sink.reset();
    }
    m_queue->Clear();
    m_pending.clear();
    m_onDone = nullptr;
    m_written = 0;
}

void QtWaveBackend::Write(std::uint64_t id, std::vector<std::uint8_t> bytes)
{
    if (!m_sink)
        return;
    m_written += static_cast<std::int64_t>(bytes.size());
    m_pending.push_back({id, m_written});
    m_queue->Append(std::move(bytes));
    Feed();
}

void QtWaveBackend::Feed()
{
    if (!m_sink || m_paused || m_input == nullptr)
        return;
    const QAudio::State state = m_sink->state();
    if (state != QAudio::ActiveState && state != QAudio::IdleState)
        return;
    m_queue->WriteTo(*m_input, m_sink->bytesFree(), m_format.blockAlign);
}

void QtWaveBackend::Pause()
{
    m_paused = true;
    m_poll.stop();
    if (m_sink && (m_sink->state() == QAudio::ActiveState || m_sink->state() == QAudio::IdleState))
        m_sink->suspend();
}

void QtWaveBackend::Resume()
{
    m_paused = false;
    if (!m_sink)
        return;
    if (m_sink->state() == QAudio::SuspendedState)
        m_sink->resume();
    m_stalledPolls = 0;
    Feed();
    m_poll.start();
}

void QtWaveBackend::Reset()
{
    if (!m_sink)
        return;
    // Restarting the sink drops what it holds and brings its processed time
    // back to 0; the input device of the old stream goes with it.
    m_input = nullptr;
    m_sink->reset();
    std::deque<Pending> returned;
    returned.swap(m_pending);
    m_written = 0;
    m_lastPlayed = -1;
    m_stalledPolls = 0;
    if (!StartSink()) {
        m_sink.reset();
        m_poll.stop();
    }
    auto onDone = m_onDone;
    for (const auto& p : returned)
        if (onDone)
            onDone(p.id);
}

std::int64_t QtWaveBackend::PlayedBytes() const
{
    if (!m_sink || m_format.avgBytesPerSec == 0)
        return 0;
    const std::int64_t handed = m_queue->Handed();
    if (m_stalledPolls >= kStallPolls)
        return handed;
    const std::int64_t byTime = m_sink->processedUSecs() * std::int64_t {m_format.avgBytesPerSec} / 1000000;
    // The sink's clock may run a little past the data on a restarted stream.
    return std::clamp<std::int64_t>(byTime, 0, handed);
}

std::int64_t QtWaveBackend::PositionMs() const
{
    if (!m_sink || m_format.avgBytesPerSec == 0)
        return 0;
    return DivRoundHalfEven(PlayedBytes() * 1000, m_format.avgBytesPerSec);
}

void QtWaveBackend::Poll()
{
    if (!m_sink || m_paused)
        return;
    Feed();
    const std::int64_t played = PlayedBytes();
    if (played == m_lastPlayed && m_queue->Empty()) {
        if (m_stalledPolls < kStallPolls)
            ++m_stalledPolls;
        // Everything is with the sink but its time stands still: a stream
        // still short of its start threshold plays once it is triggered,
        // which a suspend and resume does.
        if (m_stalledPolls == kKickPolls && m_sink->state() != QAudio::StoppedState) {
            m_sink->suspend();
            m_sink->resume();
        }
    } else if (played != m_lastPlayed) {
        m_stalledPolls = 0;
    }
    m_lastPlayed = played;
    const std::int64_t reached = PlayedBytes();
    while (!m_pending.empty() && m_pending.front().end <= reached) {
        const std::uint64_t id = m_pending.front().id;
        m_pending.pop_front();
        if (m_onDone)
            m_onDone(id);
    }
}

void QtWaveBackend::ApplyVolume()
{
    if (m_sink)
        m_sink->setVolume(static_cast<qreal>(DeviceVolume(m_device) & 0xFFFFu) / 65535.0);
}

std::uint32_t QtWaveBackend::Volume() const
{
    return DeviceVolume(m_device);
}

void QtWaveBackend::SetVolume(std::uint32_t leftRight)
{
    SetDeviceVolume(m_device, leftRight);
}

std::uint32_t QtWaveBackend::DeviceVolume(std::int32_t device) const
{
    auto it = m_volumes.find(device);
    return it == m_volumes.end() ? 0xFFFFFFFFu : it->second;
}

void QtWaveBackend::SetDeviceVolume(std::int32_t device, std::uint32_t leftRight)
{
    m_volumes[device] = leftRight;
    if (device == m_device)
        ApplyVolume();
}

std::int32_t QtWaveBackend::DeviceCount() const
{
    return static_cast<std::int32_t>(QMediaDevices::audioOutputs().size());
}

bool QtWaveBackend::DeviceCaps(std::int32_t device, WaveDeviceCaps& caps) const
{
    const QAudioDevice dev = DeviceAt(device);
    if (dev.isNull())
        return false;
    caps.name = dev.description().toStdString();
    // The sound layer reports no driver version; the multimedia library's own is the closest figure.
    caps.driverVersion = (static_cast<std::uint32_t>(QT_VERSION_MAJOR) << 8) | QT_VERSION_MINOR;
    return true;
}

} // namespace pellam
