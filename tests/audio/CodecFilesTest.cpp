// Whole files in every stored encoding, made by sox and lame, read through the
// stream and compared with sox's own decoding.
#include "audio/StreamWAV.h"

#include "support/WavFiles.h"

#include <gtest/gtest.h>

using namespace pellam;
using namespace pellam::test;

namespace {

std::vector<std::int16_t> DecodeWithStream(const std::string& path)
{
    StreamWAV s;
    EXPECT_EQ(s.StreamOpen(path), StreamStatus::Ok) << path;
    return ToSamples(ReadToEnd(s));
}

// An MPEG layer 3 WAVE around the MP3 frames in `mp3`.
std::string MpegWave(const std::string& mp3, unsigned channels, std::uint32_t rate, std::uint32_t bytesPerSecond)
{
    const std::string extra = Le16(1) + Le32(2) + Le16(417) + Le16(1) + Le16(1393);
    return Riff(Chunk("fmt ", Fmt(0x55, channels, rate, bytesPerSecond, 1, 0, extra)) + Chunk("fact", Le32(0))
        + Chunk("data", mp3));
}

// Zero crossings per second of one channel, from the middle third of the run.
double CrossingsPerSecond(const std::vector<std::int16_t>& s, std::size_t channels, std::size_t channel, double rate)
{
    const std::size_t frames = s.size() / channels;
    std::size_t crossings = 0;
    for (std::size_t i = frames / 3 + 1; i < 2 * frames / 3; ++i)
        crossings += (s[(i - 1) * channels + channel] < 0) != (s[i * channels + channel] < 0);
    return static_cast<double>(crossings) / (static_cast<double>(frames / 3) / rate);
}

class CodecFiles : public ::testing::Test {
protected:
    TempDir dir;
    void SetUp() override
    {
        if (!Shell("command -v sox >/dev/null && command -v lame >/dev/null"))
            GTEST_SKIP() << "sox or lame is not installed";
    }
};

} // namespace

TEST_F(CodecFiles, EveryEncodingMatchesSoxDecoding)
{
    // Encoding, sox output options, largest sample difference allowed against sox's decode.
    const std::tuple<const char*, const char*, int> encodings[] = {{"pcm8", "-b 8 -e unsigned", 0},
        {"pcm16", "-b 16", 0}, {"pcm24", "-b 24", 1}, {"pcm32", "-b 32", 1}, {"float32", "-b 32 -e floating-point", 1},
        {"float64", "-b 64 -e floating-point", 1}, {"mulaw", "-e u-law", 0}, {"alaw", "-e a-law", 0},
        {"ima", "-e ima-adpcm", 0}, {"msadpcm", "-e ms-adpcm", 0}};
    // 1.3 s of two tones at 11025 Hz mono (an odd half-second block of 11025
    // bytes) and 22050 Hz stereo; three channels at 8 kHz for the extensible header.
    const std::pair<const char*, const char*> sources[] = {{"-r 11025 -c 1", "synth 1.3 sine 440 sine 2950 vol 0.8"},
        {"-r 22050 -c 2", "synth 1.3 sine 440 sine 2950 vol 0.8"},
        {"-r 8000 -c 3", "synth 0.7 sine 300 sine 1200 sine 2000 vol 0.8"}};
    const std::string enc = dir.file("enc.wav"), ref = dir.file("ref.raw");
    for (const auto& [name, soxArgs, tolerance] : encodings) {
        for (const auto& [format, effects] : sources) {
            SCOPED_TRACE(std::string(name) + " " + format);
            // Synthesised straight into the encoding, then decoded by sox without dither as the reference.
            ASSERT_TRUE(Shell(std::string("sox -q -n ") + format + " " + soxArgs + " " + enc + " " + effects
                + " 2>/dev/null && sox -q -D " + enc + " -b 16 -e signed -t raw " + ref));
            const auto want = ToSamples(ReadAll(ref));
            const auto got = DecodeWithStream(enc);
            ASSERT_EQ(got.size(), want.size());
            int worst = 0;
            for (std::size_t i = 0; i < got.size(); ++i)
                worst = std::max(worst, std::abs(got[i] - want[i]));
            EXPECT_LE(worst, tolerance);
        }
    }
}

TEST_F(CodecFiles, GsmMatchesSoxDecoding)
{
    // Samples of speech-band tones at 8 kHz mono (odd counts, none a whole
    // number of 320-sample blocks), and bytes cut off the end of the file.
    const std::pair<int, int> cases[] = {{1001, 0}, {161, 0}, {7777, 0}, {4801, 20}, {4801, 64}, {2001, 1}};
    const std::string enc = dir.file("gsm.wav"), ref = dir.file("ref.raw");
    for (const auto& [samples, cut] : cases) {
        SCOPED_TRACE(std::to_string(samples) + " samples, " + std::to_string(cut) + " bytes cut");
        ASSERT_TRUE(Shell("sox -q -n -r 8000 -c 1 -e gsm-full-rate " + enc + " synth " + std::to_string(samples)
            + "s sine 300 sine 1100 vol 0.7 && truncate -s -" + std::to_string(cut) + " " + enc + " && sox -q -D " + enc
            + " -b 16 -e signed -t raw " + ref + " 2>/dev/null"));
        const auto want = ToSamples(ReadAll(ref));
        const auto got = DecodeWithStream(enc);
        ASSERT_EQ(got.size(), want.size());
        ASSERT_GT(got.size(), 0u);
        double sum = 0;
        for (std::size_t i = 0; i < got.size(); ++i)
            sum += (got[i] - want[i]) * double(got[i] - want[i]);
        EXPECT_LT(std::sqrt(sum / static_cast<double>(got.size())), 0.01 * 32768);
    }
}

TEST_F(CodecFiles, MpegInWave)
{
    // Left 1 kHz, right 250 Hz, 3 s at 128 kbit/s.
    ASSERT_TRUE(Shell("sox -q -n -r 44100 -c 2 -b 16 " + dir.file("src.wav")
        + " synth 3 sine 1000 sine 250 vol 0.5 && lame --quiet -b 128 " + dir.file("src.wav") + " "
        + dir.file("a.mp3")));
    const std::string mp3 = ReadAll(dir.file("a.mp3"));
    StreamWAV s;
    ASSERT_EQ(s.StreamOpen(dir.write("m.wav", MpegWave(mp3, 2, 44100, 16000))), StreamStatus::Ok);
    EXPECT_EQ(s.BitsPerSecond(), 128000);
    const auto pcm = ToSamples(ReadToEnd(s, 4096));
    // Whole 1152-sample frames: 3 s plus the encoder's padding, less the info frame.
    ASSERT_EQ(pcm.size() % (2 * 1152), 0u);
    EXPECT_NEAR(static_cast<double>(pcm.size()) / 2 / 44100, 3.0, 0.1);
    EXPECT_NEAR(CrossingsPerSecond(pcm, 2, 0, 44100), 2000, 20);
    EXPECT_NEAR(CrossingsPerSecond(pcm, 2, 1, 44100), 500, 10);

    // A header overstating the average rate gives blocks of more frames than
    // one output buffer holds; the last block still comes out whole.
    for (std::uint32_t avg : {64000u, 160000u})
        EXPECT_EQ(DecodeWithStream(dir.write("d.wav", MpegWave(mp3, 2, 44100, avg))), pcm) << avg;
    // A mono header over stereo frames is mixed down to the header's channels.
    EXPECT_EQ(DecodeWithStream(dir.write("mono.wav", MpegWave(mp3, 1, 44100, 16000))).size(), pcm.size() / 2);
}
