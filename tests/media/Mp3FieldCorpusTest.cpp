// Recordings as encoders, taggers and damage leave them (tests/data/field-mp3,
// written by scripts/make-field-mp3): each one's duration agrees to the second
// with what lame's own decoder, the program's player, makes of the file.
#include "media/Mp3Duration.h"

#include "audio/StreamWAV.h"

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
        StreamWAV decoded;
        ASSERT_EQ(decoded.StreamOpen(wav), StreamStatus::Ok);
        ASSERT_GT(decoded.Duration(), 0);
        EXPECT_EQ(answer.text, DurationText(std::lround(decoded.Duration() / 1000.0)))
            << decoded.Duration() << " ms decoded";
    }
}
