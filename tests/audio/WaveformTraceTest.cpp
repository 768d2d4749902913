#include "audio/TraceReader.h"
#include "audio/WaveformTrace.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>

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

// A dispatcher the reader's workers may post to from their threads; the
// queue runs on the test's thread when asked.
class ThreadDispatcher final : public Dispatcher {
public:
    void Post(std::function<void()> task) override
    {
        const std::lock_guard lock(m_mutex);
        m_tasks.push_back(std::move(task));
        m_posted.notify_all();
    }
    bool WaitForPending(std::size_t count)
    {
        std::unique_lock lock(m_mutex);
        return m_posted.wait_for(lock, std::chrono::seconds(20), [&] { return m_tasks.size() >= count; });
    }
    void RunPending()
    {
        std::deque<std::function<void()>> tasks;
        {
            const std::lock_guard lock(m_mutex);
            tasks.swap(m_tasks);
        }
        for (auto& task : tasks)
            task();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_posted;
    std::deque<std::function<void()>> m_tasks;
};

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

TEST(WaveformTrace, StopCheckEndsTheRead)
{
    TempDir dir;
    const std::string path = SizedFile(dir, "big.wav", 4'000'000);
    int asked = 0;
    const auto t = TraceWaveform(path, [&] { return ++asked == 3; });
    ASSERT_FALSE(t.ok());
    EXPECT_EQ(t.error(), TraceError::Stopped);
    EXPECT_EQ(asked, 3);
}

TEST(TraceReader, OnlyTheNewestRequestIsDelivered)
{
    TempDir dir;
    const std::string older = SizedFile(dir, "older.wav", 1'000'000);
    const std::string newer = SizedFile(dir, "newer.wav", 64'000);
    ThreadDispatcher ui;
    std::vector<std::int64_t> drawn; // file sizes of the traces delivered
    std::vector<TraceError> errors;
    const auto done = [&](const TraceReader::Trace& t) {
        if (t.ok())
            drawn.push_back(t->fileSize);
        else
            errors.push_back(t.error());
    };
    TraceReader reader(ui);
    EXPECT_FALSE(reader.Pending());

    // The older trace is already waiting in the queue when the newer request
    // comes: it is dropped, the newer one arrives.
    reader.Read(older, done);
    ASSERT_TRUE(ui.WaitForPending(1));
    EXPECT_TRUE(reader.Pending());
    reader.Read(newer, done);
    ASSERT_TRUE(ui.WaitForPending(2));
    ui.RunPending();
    EXPECT_EQ(drawn, (std::vector<std::int64_t> {64'000}));
    EXPECT_FALSE(reader.Pending());

    // Cancelled, the result is dropped; a failure is delivered like a trace.
    reader.Read(older, done);
    ASSERT_TRUE(ui.WaitForPending(1));
    reader.Cancel();
    EXPECT_FALSE(reader.Pending());
    ui.RunPending();
    reader.Read(dir.file("absent.wav"), done);
    ASSERT_TRUE(ui.WaitForPending(1));
    ui.RunPending();
    EXPECT_EQ(drawn.size(), 1u);
    EXPECT_EQ(errors, (std::vector<TraceError> {TraceError::Unreadable}));

    // A result that outlives its reader is dropped.
    {
        TraceReader gone(ui);
        gone.Read(newer, done);
        ASSERT_TRUE(ui.WaitForPending(1));
    }
    ui.RunPending();
    EXPECT_EQ(drawn.size(), 1u);
}
