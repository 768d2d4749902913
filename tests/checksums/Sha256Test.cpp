#include "checksums/Sha256.h"
#include "checksums/clsCRC.h"
#include "support/Sha256sum.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

using namespace pellam;

namespace {

std::string Hex(std::string_view text)
{
    Sha256 sha;
    sha.Add({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    return Sha256Hex(sha.Final());
}

} // namespace

TEST(Sha256, KnownDigestsAndAHashThatStartsOverAfterFinal)
{
    EXPECT_EQ(Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    Sha256 sha;
    const std::string half = "abcdbcdecdefdefgefghfghighij";
    const std::string rest = "hijkijkljklmklmnlmnomnopnopq";
    sha.Add({reinterpret_cast<const std::uint8_t*>(half.data()), half.size()});
    sha.Add({reinterpret_cast<const std::uint8_t*>(rest.data()), rest.size()});
    EXPECT_EQ(Sha256Hex(sha.Final()), "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(Sha256Hex(sha.Final()), Hex(""));
}

TEST(Sha256, OneReadOfAFileGivesWhatSha256sumAndTheCrcReaderGive)
{
    test::TempDir dir;
    // Three blocks and a piece, so the block boundaries are crossed.
    std::string bytes(3 * clsCRC::kFileBlock + 1001, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((i * 7919) >> 5);
    const std::string path = dir.write("a.mp3", bytes);
    const auto sums = SumsOfFile(path);
    ASSERT_TRUE(sums);
    clsCRC crc;
    EXPECT_EQ(std::tuple(Sha256Hex(sums.value().sha256), sums.value().crc32, sums.value().size),
        std::tuple(test::SystemSha256(path), crc.CalculateFile(path).value(), std::uint64_t {bytes.size()}));

    const auto empty = SumsOfFile(dir.write("empty", ""));
    ASSERT_TRUE(empty);
    EXPECT_EQ(std::tuple(Sha256Hex(empty.value().sha256), empty.value().crc32), std::tuple(Hex(""), 0));

    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(SumsOfFile(path, stop.get_token()).error().number, ECANCELED);
    EXPECT_EQ(SumsOfFile(dir.file("missing")).error().number, ENOENT);
    EXPECT_EQ(SumsOfFile(dir.str()).error().number, EISDIR);
}
