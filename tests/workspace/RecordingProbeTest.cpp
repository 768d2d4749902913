#include "workspace/RecordingProbe.h"

#include "checksums/CrcText.h"
#include "support/Eventually.h"
#include "support/IncidentFiles.h"
#include "support/LameEncode.h"
#include "support/TempDir.h"
#include "workspace/OpenIncident.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

using namespace pellam;
using namespace std::chrono_literals;

// Closing the window during an open destroys the probe while its threads
// are inside a huge recording: the destructor must not wait for the file.
// The window's probe threads run below the window's priority meanwhile.
TEST(ThreadedProbe, YieldsAndStopsInsideAFile)
{
    // 64 GiB of holes: four readings would take far longer than the bound.
    // A memory file system reads holes without touching disk.
    const auto folder = std::filesystem::exists("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                            : std::filesystem::temp_directory_path();
    const auto path = folder / ("pellam-probe-" + std::to_string(::getpid()) + ".mp3");
    std::ofstream(path, std::ios::trunc).close();
    std::filesystem::resize_file(path, 64ull << 30);

    auto probe = std::make_unique<ThreadedProbe>(true);
    probe->Start({path.string(), path.string()});
    const auto yielding = [] { // threads of this process below this thread's priority
        int n = 0;
        for (const auto& task : std::filesystem::directory_iterator("/proc/self/task"))
            n += ::getpriority(PRIO_PROCESS, std::stoi(task.path().filename())) > ::getpriority(PRIO_PROCESS, 0);
        return n;
    };
    EXPECT_TRUE(test::Eventually([&] { return yielding() == 2; }));
    EXPECT_FALSE(probe->Checksums(0)) << "the reading has only begun";
    const auto before = std::chrono::steady_clock::now();
    probe.reset();
    const auto took = std::chrono::steady_clock::now() - before;
    std::filesystem::remove(path);
    EXPECT_LT(took, 2s);
}

TEST(SequentialProbe, AnswersNothingPastItsList)
{
    SequentialProbe probe;
    probe.Start({"/nonexistent/a.mp3"});
    EXPECT_FALSE(probe.Checksums(1) || probe.Duration(1));
}

// 5001 small recordings: the first 5000 in listing order are listed, each
// with its own path, CRC and duration; the 5001st is left out.
TEST(RecordingPass, ListsAtMost5000Recordings)
{
    if (!test::HaveLame())
        GTEST_SKIP() << "lame is not installed";
    test::TempDir dir;
    // One second at 8 kHz and 8 kbit/s: about a kilobyte.
    const std::string tone = test::EncodeTone(dir, "tone", 8000, 8000, "-b 8");
    ASSERT_FALSE(tone.empty());
    const std::string mp3 = test::ReadAll(tone);
    std::filesystem::remove(tone);
    dir.write("SGfg.dat", test::SysCfg());
    dir.write("case.evt", test::EventText("C-5001"));
    for (int i = 1; i <= 5001; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "r%05d.mp3", i);
        // An ID3v1 tag titled with the number: a different CRC for each.
        std::string tag = "TAG" + std::to_string(i);
        tag.resize(128, '\0');
        dir.write(name, mp3 + tag);
    }

    IncidentModel s;
    OpenIncident open(s);
    ASSERT_TRUE(open.Open(dir.file("case.evt")).ok());
    open.RunToEnd();
    ASSERT_TRUE(open.Finished());
    ASSERT_EQ(std::tuple(s.MP3Count, s.ListRows.size()), std::tuple(5000, 5000u));
    clsCRC crc;
    for (const std::size_t n : {1u, 4000u, 4001u, 5000u}) {
        SCOPED_TRACE(n);
        char name[32];
        std::snprintf(name, sizeof name, "r%05zu.mp3", n);
        const Mp3Record& row = s.ListRows[n - 1];
        EXPECT_EQ(std::tuple(s.MP3Paths[n - 1], row.FileName, row.Duration, row.CRC, s.MP3Table[n - 1].Duration),
            std::tuple(dir.file(name), name, "00:01", GetStableCRC(crc, dir.file(name)), "00:01"));
    }
    EXPECT_NE(s.ListRows[0].CRC, s.ListRows[1].CRC);
}
