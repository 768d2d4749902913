#include "workspace/ReadAhead.h"

#include "support/Fifo.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pellam {
namespace {

// Steps until the read-ahead waits or has taken every file: how many it
// took, and the bytes then pending.
std::pair<std::size_t, std::int64_t> Steps(ReadAhead& ahead)
{
    std::size_t taken = 0;
    while (ahead.Step())
        ++taken;
    return {taken, ahead.Pending()};
}

using Taken = std::pair<std::size_t, std::int64_t>;

} // namespace

TEST(ReadAhead, AsksForFilesInOrderOnlyAsFarAsTheWindowReachesPassingOverWhatIsNoFile)
{
    test::TempDir dir;
    std::vector<std::string> paths;
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3", "d.mp3", "e.mp3"})
        paths.push_back(dir.write(name, std::string(100, 'x')));

    // 250 bytes ahead of the work: three files of 100 fill it.
    ReadAhead ahead(paths, 250, false);
    EXPECT_EQ(Steps(ahead), Taken(3, 300));
    ahead.Done(0);
    EXPECT_EQ(Steps(ahead), Taken(1, 300)); // d
    // A file whose work ended before it was asked for (it was in memory
    // already) is passed over without taking room.
    ahead.Done(4);
    ahead.Done(1);
    ahead.Done(1); // twice changes nothing
    EXPECT_EQ(Steps(ahead), Taken(1, 200)); // e
    EXPECT_FALSE(ahead.Step());

    // A file larger than the window is asked for once nothing else is
    // pending, as far as the window reaches.
    ReadAhead small(paths, 50, false);
    EXPECT_EQ(Steps(small), Taken(1, 50)); // its first 50 bytes
    small.Done(0);
    EXPECT_EQ(Steps(small), Taken(1, 50)); // its first 50 bytes

    // What is no regular file is passed over without waiting: nothing but the
    // last file takes room, so all four are taken at once.
    const std::string fifo = test::MakeFifo(dir, "pipe.mp3");
    const std::vector<std::string> odd = {fifo, dir.file("missing.mp3"), dir.str(), dir.write("f.mp3", "abc")};
    ReadAhead passing(odd, 1, false);
    EXPECT_EQ(test::ReadPromptly(fifo, [&] { return Steps(passing); }), Taken(4, 1));

    // On its own thread it ends by itself, or when it is destroyed while waiting.
    ReadAhead threaded(odd, 1);
}

} // namespace pellam
