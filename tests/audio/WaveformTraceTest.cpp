// The trace of a decoded file, taken from its bytes as they are written.
#include "audio/WaveformTrace.h"

#include "support/TempDir.h"
#include "support/TraceOfFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <span>
#include <vector>

using namespace pellam;
using pellam::test::TempDir;

namespace {

// A sparse file of the given size.
std::string SizedFile(const TempDir& dir, const std::string& name, std::int64_t size)
{
    const std::string path = dir.write(name, "");
    std::filesystem::resize_file(path, static_cast<std::uintmax_t>(size));
    return path;
}

} // namespace

TEST(WaveformTrace, StepGrowsWithFileSizeAndEachRecordGivesItsFirstSample)
{
    TempDir dir;
    for (const auto& [size, step] :
        {std::pair<std::int64_t, std::int64_t> {4'000'000, 1}, {4'000'001, 8}, {9'000'000, 8}, {9'000'001, 16}}) {
        const WaveformTrace t = test::TraceOfFile(SizedFile(dir, "s" + std::to_string(size), size));
        EXPECT_EQ(std::tuple(t.step, t.width), std::tuple(step, static_cast<double>(size) / 128.0));
        // Record 44 + k*step is read whole while (43 + k*step)*128 + 2 <= size;
        // the first record cut short adds one more point.
        const std::int64_t whole = ((size - 2) / 128 - 43) / step;
        ASSERT_EQ(static_cast<std::int64_t>(t.points.size()), whole + 1) << size;
        EXPECT_EQ(std::pair(t.points[1].x, t.points.back().x), std::pair(step, whole * step));
    }

    // The sample starting each record is read, the cut last one too, nothing
    // else. 48 records plus one byte: records 45..48 are whole, record 49 has one byte.
    std::string bytes(48 * 128 + 1, '\0');
    bytes.replace(44 * 128, 2, "\x10\x00", 2); // record 45: +16
    bytes.replace(45 * 128, 2, "\xF0\xFF"); // record 46: -16
    bytes.replace(47 * 128, 2, "\xFF\x7F"); // record 48: 32767
    bytes.back() = '\x05'; // record 49: one byte only
    const std::string small = dir.write("small.wav", bytes);
    const std::vector<TracePoint> points {{0, 35016}, {1, 34984}, {2, 35000}, {3, 67767}, {4, 35005}};
    // However the writes cut the file, a sample split between two of them included.
    for (const std::size_t piece : {std::size_t {1}, std::size_t {127}, std::size_t {5633}, bytes.size()})
        EXPECT_EQ(test::TraceOfFile(small, piece).points, points) << piece;
    EXPECT_EQ(test::TraceOfFile(small, 7).step, 1);
    // Bytes past the size the trace was shaped for do not count; a file that
    // ends before it has its cut point where it ends.
    EXPECT_EQ(test::TraceOfFile(small, 64, 47 * 128).points,
        (std::vector<TracePoint> {{0, 35016}, {1, 34984}, {2, 35000}, {3, 35000}}));
    EXPECT_EQ(test::TraceOfFile(dir.write("cut.wav", bytes.substr(0, 45 * 128 + 1)), 3, 48 * 128 + 1).points,
        (std::vector<TracePoint> {{0, 35016}, {1, 35000 + 0xF0}}));
    EXPECT_EQ(test::TraceOfFile(dir.write("forty.wav", std::string(40, 'x')), 8).points,
        (std::vector<TracePoint> {{0, 35000}}));
    // A sample ending right at the file's end is whole; the cut read after it counts as zero.
    EXPECT_EQ(test::TraceOfFile(dir.write("even.wav", bytes.substr(0, 47 * 128 + 2)), 5).points,
        (std::vector<TracePoint> {{0, 35016}, {1, 34984}, {2, 35000}, {3, 67767}, {4, 35000}}));
}

TEST(WaveformTrace, ALongFileKeepsEachRunsFirstLowestHighestAndLastPoint)
{
    // 256 MiB: step 16, 131070 points, runs of 8 (the last of 6). Samples vary point by point
    // over the first 4096 points, then every 64th point; the rest is silence.
    TempDir dir;
    const std::int64_t size = 256LL << 20;
    const std::string path = SizedFile(dir, "long.wav", size);
    const std::int64_t count = TracePointCount(size), step = TraceStep(size), span = TraceSpan(count);
    ASSERT_EQ(std::tuple(count, step, span), std::tuple(131070, 16, 8));
    std::vector<std::int32_t> ys(static_cast<std::size_t>(count), 35000); // by point
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    std::uint32_t seed = 7;
    for (std::int64_t k = 0; k + 1 < count; k += k < 4096 ? 1 : 64) {
        seed = seed * 1664525u + 1013904223u;
        const char bytes[2] = {static_cast<char>(seed >> 16), static_cast<char>(seed >> 24)};
        f.seekp((kTraceFirstRecord - 1 + (k + 1) * step) * kTraceRecordBytes).write(bytes, 2);
        ys[static_cast<std::size_t>(k)] = 35000 + static_cast<std::int16_t>(seed >> 16);
    }
    f.close();

    const WaveformTrace t = test::TraceOfFile(path, (1 << 20) + 1);
    ASSERT_LE(static_cast<std::int64_t>(t.points.size()), kTraceMaxPoints);
    std::map<std::int64_t, std::vector<TracePoint>> keptByRun;
    for (const TracePoint& p : t.points) {
        ASSERT_EQ(p.y, ys[static_cast<std::size_t>(p.x / step)]) << p.x;
        keptByRun[p.x / step / span].push_back(p);
    }
    ASSERT_EQ(static_cast<std::int64_t>(keptByRun.size()), (count + span - 1) / span);
    for (const auto& [run, kept] : keptByRun) {
        const auto first = ys.begin() + run * span, last = first + std::min(span, count - run * span);
        const auto [low, high]
            = std::minmax_element(kept.begin(), kept.end(), [](auto& a, auto& b) { return a.y < b.y; });
        EXPECT_EQ(std::tuple(kept.front().x, kept.back().x, low->y, high->y),
            std::tuple(run * span * step, (last - ys.begin() - 1) * step, *std::min_element(first, last),
                *std::max_element(first, last)))
            << run;
        EXPECT_TRUE(
            std::adjacent_find(kept.begin(), kept.end(), [](auto& a, auto& b) { return a.x >= b.x; }) == kept.end())
            << run;
    }
}
