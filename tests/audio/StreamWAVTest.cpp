#include "audio/StreamWAV.h"

#include "support/Fifo.h"
#include "support/WavFiles.h"

#include <gtest/gtest.h>

using namespace pellam;
using namespace pellam::test;

namespace {

// 16-bit samples whose value is their index, so a read shows where it came from.
std::string Ramp(std::size_t count, std::size_t channels = 1)
{
    std::vector<std::int16_t> s;
    for (std::size_t i = 0; i < count; ++i)
        s.insert(s.end(), channels, static_cast<std::int16_t>(i));
    return Samples16(s);
}

class StreamWAVTest : public ::testing::Test {
protected:
    TempDir dir;
    StreamWAV s;

    // Writes the file and opens it; the status is returned for the caller to check.
    StreamStatus Open(const std::string& bytes) { return s.StreamOpen(dir.write("a.wav", bytes)); }
    // Reads `bytes` and gives the status, the count read and the first sample.
    std::tuple<StreamStatus, std::int32_t, std::int16_t> Read(std::int32_t bytes = 2)
    {
        std::vector<char> buf(static_cast<std::size_t>(bytes) + 2, '\xFF');
        std::int32_t got = 99;
        const auto rc = s.StreamRead(buf.data(), bytes, got);
        return {rc, got, ToSamples(buf)[0]};
    }
};

} // namespace

TEST_F(StreamWAVTest, ReadsToTheEndAndSeeksBySecondsUpToTheDuration)
{
    // A read past the end reports the end, and again with nothing more.
    ASSERT_EQ(Open(PcmWav(1, 8000, Ramp(8000))), StreamStatus::Ok);
    ASSERT_EQ(Read(10000), std::tuple(StreamStatus::Ok, 10000, 0));
    EXPECT_EQ(Read(10240), std::tuple(StreamStatus::Ended, 6000, 5000));
    EXPECT_EQ(Read(10240), std::tuple(StreamStatus::Ended, 0, -1));

    // 2.5 s of 8 kHz mono. Refused seeks leave the stream where it was.
    ASSERT_EQ(Open(PcmWav(1, 8000, Ramp(20000))), StreamStatus::Ok);
    ASSERT_EQ(s.StreamSeek(1, 1), StreamStatus::Ok);
    EXPECT_EQ(Read(), std::tuple(StreamStatus::Ok, 2, 8000));
    EXPECT_EQ((std::tuple {s.StreamSeek(3, 1), s.StreamSeek(-1, 1), std::get<2>(Read()), s.StreamSeek(2, 1),
                  std::get<2>(Read())}),
        std::tuple(StreamStatus::BadSeek, StreamStatus::BadSeek, 8001, StreamStatus::Ok, 16000));
    EXPECT_EQ(ReadToEnd(s).size(), 2u * (20000 - 16001));
    // After the end a seek makes the stream readable again, the conversion afresh.
    ASSERT_EQ(s.StreamSeek(0, 1), StreamStatus::Ok);
    EXPECT_EQ(std::get<2>(Read()), 0);

    // On a file of whole seconds the last second is a valid target, with nothing after it.
    ASSERT_EQ(Open(PcmWav(1, 8000, Ramp(16000))), StreamStatus::Ok);
    EXPECT_EQ(s.StreamSeek(3, 1), StreamStatus::BadSeek);
    ASSERT_EQ(s.StreamSeek(2, 1), StreamStatus::Ok);
    EXPECT_EQ(ReadToEnd(s).size(), 0u);
}

TEST_F(StreamWAVTest, ChunkLayoutsThatOpenAndFilesThatAreRefused)
{
    const std::string fmt = Chunk("fmt ", PcmFmt(1, 8000, 16));
    const std::string data = Chunk("data", Ramp(100));
    const std::pair<const char*, std::string> cases[] = {
        {"data before fmt", Riff(data + fmt)},
        {"odd chunk with pad byte first", Riff(Chunk("LIST", "abc") + fmt + Chunk("junk", "x") + data)},
        {"second data chunk ignored", Riff(fmt + data + Chunk("data", Ramp(3)))},
        {"RIFF size left 0 by a streaming writer", "RIFF" + Le32(0) + "WAVE" + fmt + data},
        {"16-byte fmt without extra-size", Riff(Chunk("fmt ", PcmFmt(1, 8000, 16).substr(0, 16)) + data)},
    };
    for (const auto& [name, bytes] : cases) {
        ASSERT_EQ(Open(bytes), StreamStatus::Ok) << name;
        EXPECT_EQ(ReadToEnd(s), Ramp(100)) << name;
    }
    // A data chunk claiming more than the file holds is cut to what is there.
    ASSERT_EQ(Open(Riff(fmt + Chunk("data", Ramp(4000), 1000000))), StreamStatus::Ok);
    EXPECT_EQ(s.Duration(), 500);
    EXPECT_EQ(ReadToEnd(s), Ramp(4000));

    // Files that cannot be played are refused and leave the stream closed.
    const auto withFmt = [&](const std::string& f) { return Riff(Chunk("fmt ", f) + data); };
    const std::tuple<const char*, std::string, StreamStatus> refused[] = {
        {"empty", "", StreamStatus::NotOpen},
        {"not RIFF", "MThd" + std::string(100, 'x'), StreamStatus::NotOpen},
        {"RIFF of another form", Riff(fmt + data, "AVI "), StreamStatus::NotOpen},
        {"no fmt", Riff(data), StreamStatus::NotOpen},
        {"no data", Riff(fmt), StreamStatus::NotOpen},
        {"fmt of 14 bytes", withFmt(PcmFmt(1, 8000, 16).substr(0, 14)), StreamStatus::NotOpen},
        {"fmt claims more than the file holds",
            Riff(data + Chunk("fmt ", PcmFmt(1, 8000, 16).substr(0, 10), 0xFFFFFFF0u)), StreamStatus::NotOpen},
        {"chunk size runs past the end before data", Riff(fmt + Chunk("LIST", "ab", 0x7FFFFFFF) + data),
            StreamStatus::NotOpen},
        {"zero channels", withFmt(Fmt(1, 0, 8000, 16000, 2, 16)), StreamStatus::NoCodec},
        {"zero rate", withFmt(Fmt(1, 1, 0, 16000, 2, 16)), StreamStatus::NoCodec},
        {"block alignment 0", withFmt(Fmt(1, 1, 8000, 16000, 0, 16)), StreamStatus::NoCodec},
        {"40 bits per sample", withFmt(Fmt(1, 1, 8000, 40000, 5, 40)), StreamStatus::NoCodec},
        {"GSM 6.10 in stereo", withFmt(Fmt(0x31, 2, 8000, 3250, 65, 0, Le16(320))), StreamStatus::NoCodec},
        {"absurd rate", withFmt(Fmt(1, 2, 0xFFFFFFFFu, 4, 4, 16)), StreamStatus::NoCodec},
    };
    for (const auto& [name, bytes, status] : refused) {
        EXPECT_EQ(Open(bytes), status) << name;
        EXPECT_EQ(s.StreamClose(), StreamStatus::NotOpen) << name << ": left open";
    }
    // Nothing works on the closed stream; neither a missing file nor a folder opens.
    EXPECT_EQ(
        (std::tuple {s.StreamSeek(0, 0), Read(4), s.StreamOpen(dir.file("missing.wav")), s.StreamOpen(dir.str())}),
        std::tuple(StreamStatus::NotOpen, std::tuple(StreamStatus::NotOpen, 0, -1), StreamStatus::NotOpen,
            StreamStatus::NotOpen));
    const std::string fifo = test::MakeFifo(dir, "pipe.wav");
    EXPECT_EQ(test::ReadPromptly(fifo, [&] { return s.StreamOpen(fifo); }), StreamStatus::NotOpen) << "a FIFO";

    // A zero average rate opens, with no duration and only the start to seek to.
    ASSERT_EQ(Open(withFmt(Fmt(1, 1, 8000, 0, 2, 16))), StreamStatus::Ok);
    EXPECT_EQ(std::tuple(s.Duration(), s.BitsPerSecond(), s.StreamSeek(1, 1)), std::tuple(0, 0, StreamStatus::BadSeek));
    EXPECT_EQ((std::tuple {s.StreamSeek(0, 1), ReadToEnd(s).size(), s.StreamClose(), s.StreamClose()}),
        std::tuple(StreamStatus::Ok, 200u, StreamStatus::Ok, StreamStatus::NotOpen));
}
