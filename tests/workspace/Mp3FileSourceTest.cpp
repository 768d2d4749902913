#include "workspace/Mp3FileSource.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

using namespace pellam;

// Random reads (frame-sized and larger than a block) and moves (anywhere,
// short hops as the decoder rereads a frame, to the tag at the end) against
// the file's bytes in memory.
TEST(Mp3FileSource, ReadsAndSeeksLikeTheFile)
{
    test::TempDir dir;
    std::mt19937 rng(7);
    std::string bytes(3 * Mp3FileSource::kBlock + 777, '\0');
    for (auto& b : bytes)
        b = static_cast<char>(rng());
    Mp3FileSource source;
    ASSERT_TRUE(source.Open(dir.write("rec.mp3", bytes)));
    EXPECT_FALSE(Mp3FileSource().Open(dir.str())) << "a folder is no recording";

    const auto size = static_cast<off_t>(bytes.size());
    off_t pos = 0;
    for (int step = 0; step < 3000; ++step) {
        const unsigned kind = rng() % 4;
        if (kind == 0) {
            const std::size_t n = rng() % 8 == 0 ? Mp3FileSource::kBlock + rng() % 5000 : rng() % 1500;
            std::string out(n, '\0');
            const auto got = source.Read(out.data(), n);
            ASSERT_EQ(got, std::min<off_t>(static_cast<off_t>(n), size - pos)) << step;
            out.resize(static_cast<std::size_t>(got));
            ASSERT_EQ(out, bytes.substr(static_cast<std::size_t>(pos), out.size())) << step;
            pos += got;
            continue;
        }
        const off_t hop = static_cast<off_t>(rng() % 4000) - 2000;
        const off_t to = kind == 1 ? static_cast<off_t>(rng() % (bytes.size() + 1)) : kind == 2 ? pos + hop : size - 128;
        if (to > size)
            continue;
        const off_t moved = kind == 1 ? source.Seek(to, SEEK_SET) : kind == 2 ? source.Seek(hop, SEEK_CUR)
                                                                             : source.Seek(-128, SEEK_END);
        ASSERT_EQ(moved, to < 0 ? -1 : to) << step;
        pos = to < 0 ? pos : to; // a refused move leaves the position
    }
}
