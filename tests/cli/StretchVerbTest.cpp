// pellam-cli stretch: the player's chain at other speeds, on tones made by
// sox, measured in the written file: its length and its pitch.
#include "RunVerb.h"

#include "support/WavFiles.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pellam::test {
namespace {

// The pitch of the first channel of 16-bit PCM, by zero crossings over the middle half.
double PitchOf(const std::string& pcm, int rate, int channels)
{
    const std::vector<std::int16_t> samples = ToSamples(pcm);
    const std::size_t frames = samples.size() / static_cast<std::size_t>(channels);
    int crossings = 0;
    for (std::size_t i = frames / 4 + 1; i < frames * 3 / 4; ++i)
        crossings += (samples[(i - 1) * channels] < 0) != (samples[i * channels] < 0);
    return crossings / 2.0 / (static_cast<double>(frames / 2) / rate);
}

} // namespace

TEST(StretchVerb, KeepsThePitchAndChangesTheLengthOrChangesNothingAtOne)
{
    TempDir dir;
    for (const auto& [rate, channels] : {std::pair(44100, 2), std::pair(8000, 1), std::pair(48000, 2)}) {
        const std::string tone = dir.file("tone" + std::to_string(rate) + ".wav");
        ASSERT_EQ(std::system(("sox -D -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) + " -b 16 "
                      + ShellQuote(tone) + " synth 10 sine 440")
                                  .c_str()),
            0);
        for (const double speed : {0.5, 0.8, 1.5, 2.0}) {
            SCOPED_TRACE(tone + " at " + std::to_string(speed));
            const std::string out = dir.file("out.wav");
            const CliOutput run = RunVerb({"stretch", tone, out, std::to_string(speed)});
            ASSERT_EQ(run.status, 0) << run.err;
            const std::string pcm = ReadAll(out).substr(44);
            const double seconds = static_cast<double>(pcm.size()) / (2.0 * channels * rate);
            EXPECT_NEAR(seconds, 10.0 / speed, 0.03 * 10.0 / speed);
            EXPECT_NEAR(PitchOf(pcm, rate, channels), 440.0, 440.0 * 0.03);
        }
        EXPECT_EQ(RunVerb({"stretch", tone, dir.file("same.wav"), "1.0"}).out,
            "{\"speed\":1.000,\"inputSeconds\":10.000,\"outputSeconds\":10.000}\n");
        EXPECT_EQ(ReadAll(dir.file("same.wav")), ReadAll(tone)) << "unchanged at 1.0";
    }
    EXPECT_EQ(RunVerb({"stretch", dir.file("tone8000.wav"), dir.file("x.wav"), "1.5"}).out,
        "{\"speed\":1.500,\"inputSeconds\":10.000,\"outputSeconds\":6.667}\n");
    for (const std::string speed : {"0.49", "2.01", "fast", "1.5x"}) {
        const CliOutput refused = RunVerb({"stretch", dir.file("tone8000.wav"), dir.file("x.wav"), speed});
        EXPECT_EQ(std::pair(refused.status, refused.err),
            std::pair(2, "pellam-cli: " + speed + ": is no speed from 0.5 to 2.0\n"));
    }
    EXPECT_EQ(RunVerb({"stretch", dir.file("missing.wav"), dir.file("x.wav"), "1.5"}).status, 2);
}

} // namespace pellam::test
