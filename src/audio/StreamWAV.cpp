#include "audio/StreamWAV.h"

#include <algorithm>
#include <cstring>

#include <unistd.h>

#include "base/FileDescriptor.h"
#include "base/Rounding.h"
#include "media/PcmConverter.h"
#include "media/RiffChunk.h"
#include "media/WaveFormat.h"

namespace pellam {
namespace {
constexpr std::size_t kMaxSourceBlock = 4u << 20;
}

struct StreamWAV::State {
    FileDescriptor file;
    std::string path;
    std::int64_t dataStart = 0;
    std::int64_t dataLength = 0;
    std::int64_t formatStart = 0;
    std::int64_t formatLength = 0;
    WaveFormat source;
    WaveFormat output;
    std::vector<std::uint8_t> formatBytes;
    std::unique_ptr<PcmConverter> conversion;
    std::vector<std::uint8_t> input;
    std::vector<std::int16_t> outputWords; // converted PCM, handed out as bytes
    std::int32_t inputSize = 0;
    std::int32_t outputSize = 0;
    std::int32_t outputReadPos = 0;
    std::int32_t outputValid = 0;
    std::int32_t position = 0;
    bool inputEnded = false;
    bool firstConversion = true;
    std::int32_t leftover = 0;
    // Input has ended but the codec still has output to give (see Refill).
    bool draining = false;

    std::uint8_t* OutputBytes() { return reinterpret_cast<std::uint8_t*>(outputWords.data()); }

    bool OpenConversion();
    void CloseConversion();
    std::size_t ConvertBlock(std::size_t sourceBytes);
    bool Refill();
    void CloseFile();
};

bool StreamWAV::State::OpenConversion()
{
    output = WaveFormat::Pcm(source.samplesPerSec, source.channels, 16);
    conversion = OpenPcmConverter(formatBytes, output);
    if (!conversion)
        return false;
    // Half a second of output per block; the codec says how much source that
    // takes from the header's byte rate. A header can claim any rate, so the
    // source block never exceeds what the data chunk holds nor a fixed ceiling.
    outputSize = static_cast<std::int32_t>(RoundToInt(500.0 / 1000.0 * output.avgBytesPerSec));
    const std::size_t wanted = conversion->SourceSizeFor(static_cast<std::size_t>(outputSize));
    const std::size_t need
        = std::min({wanted, kMaxSourceBlock, static_cast<std::size_t>(std::max<std::int64_t>(dataLength, 1))});
    if (wanted == 0) {
        conversion.reset();
        outputSize = 0;
        return false;
    }
    inputSize = static_cast<std::int32_t>(need);
    outputWords.assign((static_cast<std::size_t>(outputSize) + 1) / 2, 0);
    input.assign(static_cast<std::size_t>(inputSize), 0);
    inputEnded = false;
    firstConversion = true;
    leftover = 0;
    draining = false;
    return true;
}

void StreamWAV::State::CloseConversion()
{
    conversion.reset();
    std::fill(input.begin(), input.end(), std::uint8_t {0});
    std::fill(outputWords.begin(), outputWords.end(), std::int16_t {0});
    inputSize = 0;
    outputSize = 0;
    outputReadPos = 0;
    outputValid = 0;
    inputEnded = false;
    leftover = 0;
    draining = false;
}

std::size_t StreamWAV::State::ConvertBlock(std::size_t sourceBytes)
{
    unsigned flags = kConvertBlockAlign;
    if (firstConversion)
        flags |= kConvertStart;
    if (inputEnded)
        flags |= kConvertEnd;
    firstConversion = false;

    const ConvertResult r = conversion->Convert(std::span<const std::uint8_t>(input.data(), sourceBytes),
        std::span<std::uint8_t>(OutputBytes(), static_cast<std::size_t>(outputSize)), flags);
    if (!r.ok) {
        // The block is lost; starting afresh with the next one keeps the stream moving.
        leftover = 0;
        draining = false;
        return 0;
    }
    const std::size_t used = std::min(r.sourceUsed, sourceBytes);
    std::size_t left = sourceBytes - used;
    if (left == input.size() && r.produced == 0)
        left = 0; // a full buffer the codec cannot use at all would stall the stream
    if (left > 0)
        std::memmove(input.data(), input.data() + used, left);
    leftover = static_cast<std::int32_t>(left);
    draining = inputEnded && conversion->MoreAfterEnd(left);
    return std::min(r.produced, static_cast<std::size_t>(outputSize));
}

bool StreamWAV::State::Refill()
{
    // The last block of input can convert to more than one output buffer
    // holds (a compressed stream denser than its header's average rate):
    // what the codec kept back comes out before the stream counts as ended.
    if (draining && conversion) {
        const std::size_t produced = ConvertBlock(static_cast<std::size_t>(leftover));
        if (produced > 0) {
            outputReadPos = 0;
            outputValid = static_cast<std::int32_t>(produced);
            return true;
        }
        draining = false;
    }
    if (inputEnded || !conversion) {
        outputValid = 0;
        outputReadPos = 0;
        std::fill(input.begin(), input.end(), std::uint8_t {0});
        std::fill(outputWords.begin(), outputWords.end(), std::int16_t {0});
        return false;
    }

    // Never read past the end of the data chunk; reaching it ends the input.
    const std::int64_t here = ::lseek(file.get(), 0, SEEK_CUR);
    const std::int64_t dataEnd = dataStart + dataLength;
    std::int64_t want = inputSize - leftover;
    if (here < 0 || here >= dataEnd) {
        want = 0;
        inputEnded = true;
    } else if (here + want >= dataEnd) {
        want = dataEnd - here;
        inputEnded = true;
    }
    std::int64_t got = 0;
    if (want > 0) {
        got = file.ReadSome(input.data() + leftover, static_cast<std::size_t>(want));
        // A failed or short read (the file shrank under us) ends the input too.
        if (got < want)
            inputEnded = true;
        if (got < 0)
            got = 0;
    }

    const std::size_t produced = ConvertBlock(static_cast<std::size_t>(leftover + got));
    outputReadPos = 0;
    outputValid = static_cast<std::int32_t>(produced);
    return true;
}

void StreamWAV::State::CloseFile()
{
    CloseConversion();
    file = FileDescriptor();
    path.clear();
    position = 0;
}

StreamWAV::StreamWAV() : m(std::make_unique<State>()) { }

StreamWAV::~StreamWAV()
{
    StreamClose();
}

std::string StreamWAV::StreamDescription() const
{
    return "Wave Audio";
}

std::vector<std::string> StreamWAV::StreamExtensions() const
{
    return {"WAV"};
}

StreamStatus StreamWAV::StreamOpen(const std::string& path)
{
    // A file that cannot be opened leaves whatever was open as it is.
    auto opened = FileDescriptor::OpenForReading(path);
    if (!opened)
        return StreamStatus::NotOpen;

    StreamClose();

    FileDescriptor file = std::move(opened).value();
    const auto data = LocateChunk(file, "data");
    const auto format = LocateChunk(file, "fmt ");
    if (!data || !format || format->length < 16)
        return StreamStatus::NotOpen;

    State& s = *m;
    s.file = std::move(file);
    s.path = path;
    s.dataStart = data->start;
    s.dataLength = data->length;
    s.formatStart = format->start;
    s.formatLength = format->length;

    const std::int64_t fileSize = std::max<std::int64_t>(0, s.file.Size());
    if (fileSize < s.dataStart + s.dataLength)
        s.dataLength = std::max<std::int64_t>(0, fileSize - s.dataStart);

    // The whole "fmt " payload, as far as the file holds it.
    const std::int64_t formatBytes = std::min(s.formatLength, std::max<std::int64_t>(0, fileSize - s.formatStart));
    s.formatBytes.assign(static_cast<std::size_t>(formatBytes), 0);
    const std::int64_t got = s.file.ReadAt(s.formatStart, s.formatBytes.data(), s.formatBytes.size());
    if (got < 16) {
        s.CloseFile();
        return StreamStatus::NotOpen;
    }
    s.formatBytes.resize(static_cast<std::size_t>(got));
    s.source = WaveFormat::Parse(s.formatBytes);

    if (::lseek(s.file.get(), static_cast<off_t>(s.dataStart), SEEK_SET) < 0 || !s.OpenConversion()) {
        s.CloseFile();
        return StreamStatus::NoCodec;
    }
    return StreamStatus::Ok;
}

StreamStatus StreamWAV::StreamClose()
{
    if (!m->file.valid())
        return StreamStatus::NotOpen;
    m->CloseFile();
    return StreamStatus::Ok;
}

StreamStatus StreamWAV::StreamRead(void* destination, std::int32_t count, std::int32_t& read)
{
    read = 0;
    State& s = *m;
    if (!s.file.valid() || !s.conversion)
        return StreamStatus::NotOpen;
    if (!destination)
        count = 0;
    auto* out = static_cast<std::uint8_t*>(destination);
    StreamStatus status = StreamStatus::Ok;
    while (read < count) {
        if (s.outputValid > 0) {
            const std::int32_t available = s.outputValid - s.outputReadPos;
            const std::int32_t wanted = count - read;
            if (available >= wanted) {
                std::memcpy(out + read, s.OutputBytes() + s.outputReadPos, static_cast<std::size_t>(wanted));
                s.outputReadPos += wanted;
                read = count;
                break;
            }
            if (available > 0) {
                std::memcpy(out + read, s.OutputBytes() + s.outputReadPos, static_cast<std::size_t>(available));
                s.outputReadPos += available;
                read += available;
            }
        }
        if (!s.Refill()) {
            status = StreamStatus::Ended;
            break;
        }
    }
    // position + read / bytes-per-second * 1000, the sum rounded once.
    const std::int64_t perSecond = s.output.avgBytesPerSec;
    s.position
        = ClampToInt32(DivRoundHalfEven(std::int64_t {s.position} * perSecond + std::int64_t {read} * 1000, perSecond));
    return status;
}

StreamStatus StreamWAV::StreamSeek(std::int32_t value, std::int32_t mode)
{
    State& s = *m;
    if (!s.file.valid())
        return StreamStatus::NotOpen;

    std::int64_t offset = 0;
    if (mode == 0) {
        if (value < 0 || value > 99)
            return StreamStatus::BadSeek;
        offset = DivRoundHalfEven(std::int64_t {value} * s.dataLength, 100);
    } else if (mode == 1) {
        // value <= Duration / 1000, compared exactly.
        if (value < 0 || std::int64_t {value} * 1000 > Duration())
            return StreamStatus::BadSeek;
        offset = std::int64_t {s.source.avgBytesPerSec} * value;
    } else if (mode == kSeekMilliseconds) {
        if (value < 0 || value > Duration())
            return StreamStatus::BadSeek;
        offset = std::int64_t {s.source.avgBytesPerSec} * value / 1000;
    }

    std::int64_t target = s.dataStart;
    if (value != 0) {
        const std::int64_t align = s.source.blockAlign > 0 ? s.source.blockAlign : 1;
        target = s.dataStart + (offset - offset % align);
    }
    const off_t landed = ::lseek(s.file.get(), static_cast<off_t>(target), SEEK_SET);
    const std::int64_t here = landed < 0 ? s.dataStart : landed;
    s.position = s.source.avgBytesPerSec == 0
        ? 0
        : ClampToInt32(DivRoundHalfEven((here - s.dataStart) * 1000, s.source.avgBytesPerSec));

    if (s.conversion) {
        s.CloseConversion();
        // Reopening the same format to the same output cannot fail where the
        // first opening succeeded.
        (void)s.OpenConversion();
    }
    return StreamStatus::Ok;
}

std::int32_t StreamWAV::Position() const
{
    return m->position - 500;
}

std::int32_t StreamWAV::Duration() const
{
    if (m->source.avgBytesPerSec == 0)
        return 0;
    return ClampToInt32(DivRoundHalfEven(m->dataLength * 1000, m->source.avgBytesPerSec));
}

std::int16_t StreamWAV::BitsPerSample() const
{
    return 16;
}

std::int32_t StreamWAV::BitsPerSecond() const
{
    return ClampToInt32(std::int64_t {m->source.avgBytesPerSec} * 8);
}

std::int16_t StreamWAV::Channels() const
{
    return static_cast<std::int16_t>(m->source.channels);
}

std::int32_t StreamWAV::SamplesPerSecond() const
{
    return static_cast<std::int32_t>(m->source.samplesPerSec);
}

bool StreamWAV::EndOfStream() const
{
    return m->inputEnded && !m->draining && m->outputReadPos >= m->outputValid;
}

} // namespace pellam
