#include "audio/RecordingDecode.h"

#include "base/SystemError.h"
#include "checksums/clsCRC.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pellam {
namespace {

// Audio decoded per step: about three seconds of stereo at 44.1 kHz.
constexpr std::size_t kStepBytes = 512 * 1024;
constexpr std::size_t kReadBytes = 64 * 1024;
constexpr std::int64_t kWavHeaderBytes = 44;

void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

void Put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t v)
{
    out[at] = static_cast<std::uint8_t>(v);
    out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

// Why the decoded file could not be written, as errno tells it now.
std::string WriteFailure()
{
    return errno == ENOSPC ? "the working folder is full" : SystemError::Last().text;
}

} // namespace

std::optional<FileStamp> StampOf(const std::string& path)
{
    struct stat st { };
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    const auto ns = [](const timespec& t) { return std::int64_t {t.tv_sec} * 1'000'000'000 + t.tv_nsec; };
    return FileStamp {static_cast<std::int64_t>(st.st_size), ns(st.st_mtim), ns(st.st_ctim)};
}

std::vector<std::uint8_t> PcmWavHeader(int rate, int channels, std::uint32_t dataBytes)
{
    std::vector<std::uint8_t> h(kWavHeaderBytes, 0);
    const auto tag = [&](std::size_t at, const char* four) {
        for (int i = 0; i < 4; ++i)
            h[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(four[i]);
    };
    tag(0, "RIFF");
    Put32(h, 4, 36 + dataBytes);
    tag(8, "WAVE");
    tag(12, "fmt ");
    Put32(h, 16, 16);
    Put16(h, 20, 1); // PCM
    Put16(h, 22, static_cast<std::uint16_t>(channels));
    Put32(h, 24, static_cast<std::uint32_t>(rate));
    Put32(h, 28, static_cast<std::uint32_t>(rate * channels * 2));
    Put16(h, 32, static_cast<std::uint16_t>(channels * 2));
    Put16(h, 34, 16);
    tag(36, "data");
    Put32(h, 40, dataBytes);
    return h;
}

RecordingDecode::RecordingDecode(std::string recording, std::string wavPath, bool threaded)
    : m_recording(std::move(recording)), m_wavPath(std::move(wavPath))
{
    if (threaded)
        m_thread = std::jthread([this] {
            while (Step()) { }
        });
}

RecordingDecode::~RecordingDecode()
{
    Stop();
    if (m_thread.joinable())
        m_thread.join();
    m_file = FileDescriptor();
    if (!m_released)
        RemoveFile();
}

void RecordingDecode::RemoveFile()
{
    // Only a file this decode made: a name that was taken is someone else's.
    if (m_created)
        ::unlink(m_wavPath.c_str());
    m_created = false;
}

void RecordingDecode::Stop()
{
    m_stop.request_stop();
}

DecodeStatus RecordingDecode::Status() const
{
    std::lock_guard lock(m_mutex);
    return m_status;
}

bool RecordingDecode::LengthExact() const
{
    std::lock_guard lock(m_mutex);
    return m_status.scanned >= 0 || m_status.phase == DecodePhase::Done;
}

Mp3FrameIndex RecordingDecode::Index() const
{
    std::lock_guard lock(m_mutex);
    return m_index;
}

void RecordingDecode::ReleaseFile()
{
    m_released = true;
}

bool RecordingDecode::Step()
{
    const DecodePhase phase = m_status.phase; // written by this thread only
    if (phase != DecodePhase::Finishing && m_stop.stop_requested()) {
        if (!m_status.Ended())
            End(DecodePhase::Stopped);
        return false;
    }
    switch (phase) {
    case DecodePhase::Opening:
        Open();
        break;
    case DecodePhase::Scanning:
        Scan();
        break;
    case DecodePhase::Decoding:
        Decode();
        break;
    case DecodePhase::Finishing:
        Finish();
        break;
    default:
        return false;
    }
    return !m_status.Ended();
}

void RecordingDecode::End(DecodePhase phase, const std::string& failure)
{
    m_file = FileDescriptor();
    if (phase != DecodePhase::Done)
        RemoveFile();
    m_trace->Finish();
    std::lock_guard lock(m_mutex);
    m_status.phase = phase;
    if (!failure.empty())
        m_status.failure = failure;
    if (phase != DecodePhase::Done)
        m_status.kept = false;
}

void RecordingDecode::DropFile(const std::string& why)
{
    m_file = FileDescriptor();
    RemoveFile();
    std::lock_guard lock(m_mutex);
    m_status.kept = false;
    m_status.notKept = why;
}

void RecordingDecode::Open()
{
    m_stampBefore = StampOf(m_recording);
    auto opened = Mp3Decoder::Open(m_recording, m_stop.get_token());
    if (!opened) {
        End(DecodePhase::Failed, opened.error().text);
        return;
    }
    m_decoder = std::move(opened).value();
    std::lock_guard lock(m_mutex);
    m_status.rate = m_decoder->Rate();
    m_status.channels = m_decoder->Channels();
    m_status.length = m_decoder->Length();
    m_status.phase = DecodePhase::Scanning;
}

void RecordingDecode::Scan()
{
    // A scan that cannot finish leaves the estimate; the decode tells the rest.
    const bool scanned = m_decoder->Scan();
    if (m_stop.get_token().stop_requested()) {
        End(DecodePhase::Stopped);
        return;
    }
    const std::int64_t length = m_decoder->Length();
    const std::int64_t dataBytes = std::max<std::int64_t>(length, 0) * m_decoder->FrameBytes();
    m_traceBuilder = std::make_unique<TraceBuilder>(kWavHeaderBytes + dataBytes);
    m_trace->Shape(m_traceBuilder->Trace().width);
    const auto header = PcmWavHeader(
        m_decoder->Rate(), m_decoder->Channels(), static_cast<std::uint32_t>(std::min(dataBytes, kMaxWavData)));
    m_traceBuilder->Feed(header);
    std::string notKept;
    if (!m_wavPath.empty()) {
        if (dataBytes > kMaxWavData) {
            notKept = "the decoded recording is larger than a WAV file can hold";
        } else {
            m_file = FileDescriptor(::open(m_wavPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
            m_created = m_file.valid();
            if (!m_file.valid() || !m_file.WriteAll(header.data(), header.size())) {
                notKept = WriteFailure();
                m_file = FileDescriptor();
                RemoveFile();
            }
        }
    }
    m_written = 0;
    std::lock_guard lock(m_mutex);
    if (scanned) {
        m_index = m_decoder->Index();
        m_status.length = length;
        m_status.scanned = length;
    }
    m_status.kept = m_file.valid();
    m_status.notKept = notKept;
    m_status.phase = DecodePhase::Decoding;
}

void RecordingDecode::Decode()
{
    m_buffer.resize(kReadBytes);
    std::size_t produced = 0;
    Mp3Chunk chunk;
    while (produced < kStepBytes && !chunk.ended) {
        chunk = m_decoder->Read(m_buffer);
        if (chunk.bytes == 0)
            continue;
        const std::span<const std::uint8_t> pcm(m_buffer.data(), chunk.bytes);
        produced += chunk.bytes;
        if (m_file.valid()) {
            if (m_written + static_cast<std::int64_t>(chunk.bytes) > kMaxWavData)
                DropFile("the decoded recording is larger than a WAV file can hold");
            else if (!m_file.WriteAll(pcm.data(), pcm.size()))
                DropFile(WriteFailure());
            else
                m_written += static_cast<std::int64_t>(chunk.bytes);
        }
        m_traceBuilder->Feed(pcm);
    }
    m_trace->Append(m_traceBuilder->TakeNewPoints());
    {
        std::lock_guard lock(m_mutex);
        m_status.decoded += static_cast<std::int64_t>(produced) / m_decoder->FrameBytes();
    }
    if (!chunk.ended)
        return;
    if (m_stop.get_token().stop_requested()) {
        End(DecodePhase::Stopped);
        return;
    }
    std::lock_guard lock(m_mutex);
    m_status.failure = chunk.error;
    m_status.phase = DecodePhase::Finishing;
}

void RecordingDecode::Finish()
{
    m_traceBuilder->Finish();
    m_trace->Append(m_traceBuilder->TakeNewPoints());
    const DecodeStatus now = Status();
    if (now.decoded == 0) {
        End(DecodePhase::Failed, now.failure.empty() ? "no audio could be decoded" : now.failure);
        return;
    }
    std::string notKept;
    if (m_file.valid()) {
        const auto header
            = PcmWavHeader(m_decoder->Rate(), m_decoder->Channels(), static_cast<std::uint32_t>(m_written));
        if (::pwrite(m_file.get(), header.data(), header.size(), 0) != static_cast<ssize_t>(header.size())
            || !m_file.Close())
            notKept = SystemError::Last().text;
    }
    clsCRC crc;
    const auto value = crc.CalculateFile(m_recording, m_stop.get_token());
    const auto stampAfter = StampOf(m_recording);
    if (!value || !m_stampBefore || stampAfter != m_stampBefore)
        notKept = value ? "the recording changed while it was decoded" : value.error().text;
    else if (!now.failure.empty())
        notKept = now.failure;
    if (!notKept.empty() && !m_wavPath.empty() && now.notKept.empty())
        DropFile(notKept);
    m_file = FileDescriptor();
    std::lock_guard lock(m_mutex);
    m_status.length = now.decoded;
    if (value && m_stampBefore && stampAfter == m_stampBefore)
        m_status.key = RecordingKey {m_stampBefore->size, m_stampBefore->modifiedNs, *value};
    m_status.phase = DecodePhase::Done;
    m_trace->Finish();
}

} // namespace pellam
