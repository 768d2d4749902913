#include "audio/WaveformTrace.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace pellam;
using pellam::test::TempDir;

namespace {

// A sparse file of the given size whose sampled record starts carry marks.
std::string SizedFile(const TempDir& dir, const std::string& name, std::int64_t size)
{
    const std::string path = dir.file(name);
    {
        std::ofstream(path, std::ios::binary);
    }
    std::filesystem::resize_file(path, static_cast<std::uintmax_t>(size));
    return path;
}

void Poke(const std::string& path, std::int64_t offset, std::string_view bytes)
{
    std::fstream f(path, std::ios::binary | std::ios::in | std::ios::out);
    f.seekp(offset);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace

TEST(WaveformTrace, StepGrowsWithFileSize)
{
    TempDir dir;
    const struct {
        std::int64_t size;
        std::int64_t step;
    } cases[] = {{4'000'000, 1}, {4'000'001, 8}, {9'000'000, 8}, {9'000'001, 16}};
    for (const auto& c : cases) {
        const auto t = TraceWaveform(SizedFile(dir, "s" + std::to_string(c.size), c.size));
        ASSERT_TRUE(t.ok()) << c.size;
        EXPECT_EQ(t->step, c.step) << c.size;
        EXPECT_DOUBLE_EQ(t->width, static_cast<double>(c.size) / 128.0);
        // Record 44 + k*step is read whole while (43 + k*step)*128 + 2 <= size;
        // the first record cut short adds one more point.
        const std::int64_t whole = ((c.size - 2) / 128 - 43) / c.step;
        ASSERT_EQ(static_cast<std::int64_t>(t->points.size()), whole + 1) << c.size;
        EXPECT_EQ(t->points[1].x, c.step);
        EXPECT_EQ(t->points.back().x, whole * c.step);
    }
}

TEST(WaveformTrace, ReadsTheSampleStartingEachRecordAndTheCutLastOne)
{
    TempDir dir;
    // 48 records plus one byte: records 45..48 are whole, record 49 has one byte.
    const std::string path = SizedFile(dir, "small.wav", 48 * 128 + 1);
    Poke(path, 44 * 128, "\x10\x00"); // record 45: +16
    Poke(path, 45 * 128, "\xF0\xFF"); // record 46: -16
    Poke(path, 47 * 128, "\xFF\x7F"); // record 48: 32767
    Poke(path, 48 * 128, "\x05"); // record 49: one byte only
    const auto t = TraceWaveform(path);
    ASSERT_TRUE(t.ok());
    EXPECT_EQ(t->step, 1);
    const std::vector<TracePoint> want {{0, 35016}, {1, 34984}, {2, 35000}, {3, 67767}, {4, 35005}};
    EXPECT_EQ(t->points, want);
}

TEST(WaveformTrace, ShortOrMissingFilesAreNotDrawn)
{
    TempDir dir;
    const auto shortFile = TraceWaveform(dir.write("short.wav", std::string(39, 'x')));
    ASSERT_FALSE(shortFile.ok());
    EXPECT_EQ(shortFile.error(), TraceError::TooShort);

    const auto forty = TraceWaveform(dir.write("forty.wav", std::string(40, 'x')));
    ASSERT_TRUE(forty.ok());
    EXPECT_EQ(forty->points, (std::vector<TracePoint> {{0, 35000}}));

    const auto missing = TraceWaveform(dir.file("absent.wav"));
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error(), TraceError::Unreadable);
}
