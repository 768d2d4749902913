#include "checksums/clsCRC.h"
#include "checksums/CrcText.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

using namespace pellam;

namespace {
std::span<const std::uint8_t> Bytes(const std::string& s)
{
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

// The one-byte loops, bit by bit from the polynomials, as the reference the
// fast paths must match: registers in and out exactly as clsCRC holds them.
std::uint32_t RefReg32(std::uint32_t reg, std::span<const std::uint8_t> bytes)
{
    for (const std::uint8_t b : bytes) {
        std::uint32_t r = (reg ^ b) & 0xFFu;
        for (int k = 0; k < 8; ++k)
            r = (r & 1u) ? (r >> 1) ^ 0xEDB88320u : r >> 1;
        reg = (reg >> 8) ^ r;
    }
    return reg;
}
std::uint32_t RefReg16(std::uint32_t reg, std::span<const std::uint8_t> bytes)
{
    for (const std::uint8_t b : bytes) {
        std::uint32_t r = (((reg >> 8) ^ b) & 0xFFu) << 8;
        for (int k = 0; k < 8; ++k)
            r = (r & 0x8000u) ? (r << 1) ^ 0x1021u : r << 1;
        reg = (r & 0xFFFFu) ^ ((reg & 0xFFu) << 8);
    }
    return reg;
}
} // namespace

TEST(clsCRC, CheckValuesOfBothAlgorithms)
{
    clsCRC crc;
    EXPECT_EQ(crc.Algorithm(), -1);
    EXPECT_EQ(static_cast<std::uint32_t>(crc.CalculateString("123456789")), 0xCBF43926u);
    EXPECT_EQ(crc.CalculateBytes({}), 0) << "the CRC-32 of no bytes is 0";

    crc.SetAlgorithm(0);
    EXPECT_EQ(crc.Algorithm(), 0);
    EXPECT_EQ(crc.CalculateString("123456789"), 0x31C3);

    crc.SetAlgorithm(5);
    EXPECT_EQ(crc.Algorithm(), -1) << "any nonzero value selects CRC-32";
    EXPECT_EQ(static_cast<std::uint32_t>(crc.CalculateString("123456789")), 0xCBF43926u);
}

TEST(clsCRC, AddContinuesWhileCalculateStartsOver)
{
    clsCRC crc;
    crc.AddString("12345");
    const auto whole = static_cast<std::uint32_t>(crc.AddString("6789"));
    EXPECT_EQ(whole, 0xCBF43926u);
    crc.AddString("garbage first");
    EXPECT_EQ(static_cast<std::uint32_t>(crc.CalculateBytes(Bytes("123456789"))), 0xCBF43926u);

    // Texts are checksummed as Windows-1252 bytes: "é" is one byte (E9) there, two in UTF-8.
    EXPECT_EQ(crc.CalculateString("caf\xC3\xA9"), crc.CalculateBytes(Bytes("caf\xE9")));
    crc.setValue(0); // the setter fills the register unchanged
    EXPECT_EQ(static_cast<std::uint32_t>(crc.value()), 0xFFFFFFFFu);

    crc.SetAlgorithm(0);
    crc.AddString("1234");
    EXPECT_EQ(crc.AddString("56789"), 0x31C3);
    crc.setValue(0x1234);
    EXPECT_EQ(crc.value(), 0x1234);
}

// Every length 0..4096 at every alignment 0..63, and the same bytes fed in
// pieces split at random points from random starting registers.
TEST(clsCRC, FastPathsMatchTheOneByteLoop)
{
    constexpr std::size_t kMaxLen = 4096;
    constexpr std::size_t kAlignments = 64;
    std::mt19937 rng(20261206);
    std::vector<std::uint8_t> buf(kMaxLen + kAlignments);
    for (auto& b : buf)
        b = static_cast<std::uint8_t>(rng());

    for (const bool crc32 : {true, false}) {
        SCOPED_TRACE(crc32 ? "CRC-32" : "CRC-16");
        clsCRC crc;
        crc.SetAlgorithm(crc32 ? 1 : 0);
        auto ref = [&](std::uint32_t reg, std::span<const std::uint8_t> b) {
            return crc32 ? RefReg32(reg, b) : RefReg16(reg, b);
        };
        auto value = [&](std::uint32_t reg) { return static_cast<std::int32_t>(crc32 ? ~reg : reg & 0xFFFFu); };
        const std::uint32_t cleared = crc32 ? 0xFFFFFFFFu : 0u;
        for (std::size_t align = 0; align < kAlignments; ++align) {
            // The reference of every prefix in one pass.
            std::uint32_t reg = cleared;
            for (std::size_t len = 0; len <= kMaxLen; ++len) {
                const std::span<const std::uint8_t> bytes(buf.data() + align, len);
                const auto got = crc.CalculateBytes(bytes);
                if (got != value(reg)) {
                    ADD_FAILURE() << "length " << len << " at alignment " << align;
                    break;
                }
                if (len < kMaxLen)
                    reg = ref(reg, bytes.subspan(len, 1));
            }
        }
        for (int round = 0; round < 300; ++round) {
            const std::size_t begin = rng() % kAlignments;
            const std::size_t len = rng() % (kMaxLen + 1);
            const std::span<const std::uint8_t> bytes(buf.data() + begin, len);
            // setValue may leave bits above the CRC-16's 16 in its register.
            const auto start = static_cast<std::int32_t>(rng());
            crc.setValue(start);
            std::size_t at = 0;
            while (at < len) {
                const std::size_t piece = std::min<std::size_t>(len - at, rng() % 300);
                crc.AddBytes(bytes.subspan(at, piece));
                at += piece;
            }
            ASSERT_EQ(crc.value(), value(ref(static_cast<std::uint32_t>(start), bytes)))
                << "round " << round << ", length " << len;
        }
    }
}

TEST(clsCRC, FilesAreStreamedInBlocks)
{
    test::TempDir dir;
    clsCRC crc;
    EXPECT_EQ(static_cast<std::uint32_t>(crc.CalculateFile(dir.write("a", "123456789")).value()), 0xCBF43926u);
    // Around block edges: one block, one byte more, several blocks and a rest.
    for (const std::size_t size : {clsCRC::kFileBlock, clsCRC::kFileBlock + 1, 3 * clsCRC::kFileBlock + 4321}) {
        std::string big(size, '\0');
        for (std::size_t i = 0; i < big.size(); ++i)
            big[i] = static_cast<char>(i * 7 + i / 251);
        EXPECT_EQ(crc.CalculateFile(dir.write("big", big)).value(), crc.CalculateBytes(Bytes(big))) << size;
    }

    // An empty file and a failed reading give their answers without touching the running value.
    crc.CalculateString("1234");
    EXPECT_EQ(crc.CalculateFile(dir.write("empty", "")).value(), 0);
    EXPECT_EQ(static_cast<std::uint32_t>(crc.AddString("56789")), 0xCBF43926u);
    crc.CalculateString("1234");
    EXPECT_EQ(crc.CalculateFile(dir.file("missing")).error(), ENOENT);
    EXPECT_EQ(crc.CalculateFile(dir.str()).error(), EISDIR) << "a folder cannot be read as a file";
    EXPECT_EQ(crc.CalculateFile("/dev/zero").error(), EINVAL) << "a device would never end";
    EXPECT_EQ(static_cast<std::uint32_t>(crc.AddString("56789")), 0xCBF43926u);

    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(crc.CalculateFile(dir.file("a"), stop.get_token()).error(), ECANCELED);

    // 4 GiB of holes and "tail": read whole, holding one block, not the file.
    // Holes in a memory file system read without disk or page cache.
    const auto sparse = (std::filesystem::exists("/dev/shm") ? std::filesystem::path("/dev/shm") : dir.path())
        / ("pellam-sparse-" + std::to_string(::getpid()) + ".mp3");
    std::ofstream(sparse, std::ios::trunc).close();
    std::filesystem::resize_file(sparse, 4ull << 30);
    std::ofstream(sparse, std::ios::binary | std::ios::app) << "tail";
    rusage before {};
    ::getrusage(RUSAGE_SELF, &before);
    const auto value = crc.CalculateFile(sparse.string());
    rusage after {};
    ::getrusage(RUSAGE_SELF, &after);
    std::filesystem::remove(sparse);
    EXPECT_EQ(static_cast<std::uint32_t>(value.value()), 0x9B519C5Cu);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "peak resident size grew (KiB)";
}

TEST(CrcText, LayoutByDigitCount)
{
    EXPECT_EQ(CrcValueText(static_cast<std::int32_t>(0xCBF43926u)), "CB F4 39 26");
    EXPECT_EQ(CrcValueText(0xABCDEF1), "AB CD EF F1");
    EXPECT_EQ(CrcValueText(0xABCDEF), "AB CD EF 00");
    EXPECT_EQ(CrcValueText(0xABCDE), "AB CD DE 00");
    EXPECT_EQ(CrcValueText(0xABCD), "AB CD 00 00");
    EXPECT_EQ(CrcValueText(0xABC), "AB BC 00 00");
    EXPECT_EQ(CrcValueText(0xAB), "AB 00 00 00");
    EXPECT_EQ(CrcValueText(0xA), "0A 00 00 00");
    EXPECT_EQ(CrcValueText(0), "00 00 00 00");
    EXPECT_EQ(CrcValueText(-1), "FF FF FF FF");
}

TEST(CrcText, AbsolutePathsAreFilesOtherTextsAreText)
{
    test::TempDir dir;
    clsCRC crc;
    EXPECT_EQ(FileCRCText(crc, dir.write("rec.mp3", "123456789")), "CB F4 39 26");
    EXPECT_EQ(FileCRCText(crc, dir.write("zero.mp3", "")), "00 00 00 00");
    EXPECT_EQ(FileCRCText(crc, "123456789"), "CB F4 39 26") << "a relative text is checksummed itself";
    const std::string unc = "\\\\server\\share\\rec.mp3";
    EXPECT_EQ(FileCRCText(crc, unc), CrcValueText(crc.CalculateString(unc)));
    EXPECT_EQ(FileCRCText(crc, ""), "Unknown");
    EXPECT_EQ(FileCRCText(crc, dir.file("missing.mp3")), "Unknown");
    EXPECT_EQ(FileCRCText(crc, dir.str()), "Unknown");

    crc.SetAlgorithm(0);
    FileCRCText(crc, "x");
    EXPECT_EQ(crc.Algorithm(), -1) << "the text is always a CRC-32";

    EXPECT_EQ(GetStableCRC(crc, dir.write("rec.mp3", "123456789")), "CB F4 39 26");
    EXPECT_EQ(GetStableCRC(crc, dir.str() + "/gone.mp3"), "Unknown");
    // This file reads differently every time, like a recording still being written.
    EXPECT_EQ(GetStableCRC(crc, "/proc/sys/kernel/random/uuid"), "Unknown");
}

// Files changed between the readings of the confirmation: the text needs
// four equal readings in one attempt, within six attempts.
TEST(CrcText, ConfirmationOfFilesChangedBetweenReadings)
{
    test::TempDir dir;
    clsCRC crc;
    const std::string path = dir.file("rec.mp3");
    int readings = 0;
    // Grows after each of its first `growths` readings, vanishes after reading `vanishAt`.
    auto confirm = [&](int growths, int vanishAt) {
        dir.write("rec.mp3", "123456789");
        readings = 0;
        return ConfirmReadings([&] {
            const std::string text = FileCRCText(crc, path);
            if (++readings <= growths)
                std::ofstream(path, std::ios::binary | std::ios::app) << "+";
            if (readings == vanishAt)
                std::filesystem::remove(path);
            return text;
        });
    };
    EXPECT_EQ(confirm(0, 0), "CB F4 39 26");
    EXPECT_EQ(readings, 4);
    // Still written during the first attempt: the second attempt reads the finished file.
    EXPECT_EQ(confirm(3, 0), FileCRCText(crc, dir.write("done.mp3", "123456789+++")));
    EXPECT_EQ(readings, 8);
    // Written all the time: every attempt disagrees at its second reading.
    EXPECT_EQ(confirm(1000, 0), "Unknown");
    EXPECT_EQ(readings, 12);
    // Gone after two readings: the attempt disagrees, and a missing file is "Unknown".
    EXPECT_EQ(confirm(0, 2), "Unknown");
    EXPECT_EQ(readings, 7);

    std::stop_source stop;
    stop.request_stop();
    readings = 0;
    EXPECT_EQ(ConfirmReadings([&] { return std::to_string(++readings); }, stop.get_token()), "Unknown");
    EXPECT_EQ(readings, 0) << "a requested stop reads nothing more";
}
