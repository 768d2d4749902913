// Recordings as encoders, taggers and damage leave them (tests/data/field-mp3,
// written by scripts/make-field-mp3): each one's duration agrees to the second
// with what lame's own decoder, the program's player, makes of the file.
#include "workspace/Mp3Duration.h"

#include "support/LameEncode.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <tuple>
#include <vector>

using namespace pellam;
using pellam::test::TempDir;

namespace {

const std::string kCorpus = PELLAM_OWN_TESTDATA "/field-mp3";

std::uint32_t Le(const std::string& s, std::size_t at, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(s[at + static_cast<std::size_t>(i)]);
    return v;
}

// Seconds of sound in a PCM WAV file, from its "fmt " and "data" chunks; -1
// when it is not one.
double WavSeconds(const std::string& wav)
{
    std::uint32_t channels = 0, rate = 0, bits = 0;
    for (std::size_t at = 12; at + 8 <= wav.size();) {
        const std::string id = wav.substr(at, 4);
        const std::uint32_t size = Le(wav, at + 4, 4);
        if (id == "fmt " && at + 24 <= wav.size()) {
            channels = Le(wav, at + 10, 2);
            rate = Le(wav, at + 12, 4);
            bits = Le(wav, at + 22, 2);
        } else if (id == "data" && channels > 0 && rate > 0 && bits > 0) {
            return static_cast<double>(size) / (channels * bits / 8) / rate;
        }
        at += 8 + size + (size & 1);
    }
    return -1;
}

std::string MmSs(double seconds)
{
    const long s = std::lround(seconds);
    char text[48];
    std::snprintf(text, sizeof text, "%02ld:%02ld", s / 60, s % 60);
    return text;
}

} // namespace

TEST(Mp3FieldCorpus, EveryFileAgreesWithTheDecoderToTheSecond)
{
    ASSERT_TRUE(test::HaveLame()) << "the second decoder, lame, is not installed (scripts/setup installs it)";
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(kCorpus))
        if (entry.path().extension() == ".mp3")
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names.size(), 36u) << "the corpus is incomplete: run scripts/make-field-mp3";

    TempDir dir;
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        const std::string path = kCorpus + "/" + name;
        const DurationAnswer answer = Mp3DurationAnswer(path);
        // Only data without MPEG audio has no duration; only a file that ends
        // before the frame count its info tag states is cut short.
        if (name.starts_with("none-")) {
            EXPECT_EQ(std::tuple(answer.text, answer.note), std::tuple(std::string(kUnknownDuration), std::string()));
            continue;
        }
        EXPECT_EQ(answer.note, name == "cut-info.mp3" ? "cut short: 62 of 105 frames" : "");
        const std::string wav = dir.file(name + ".wav");
        const std::string decode = "lame --decode --quiet '" + path + "' '" + wav + "' 2>/dev/null";
        ASSERT_EQ(std::system(decode.c_str()), 0) << "lame could not decode it";
        const double seconds = WavSeconds(test::ReadAll(wav));
        ASSERT_GT(seconds, 0.0);
        EXPECT_EQ(answer.text, MmSs(seconds)) << seconds << " s decoded";
    }
}
