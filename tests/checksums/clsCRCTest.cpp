#include "checksums/clsCRC.h"
#include "checksums/CrcText.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sys/resource.h>
#include <unistd.h>

using namespace pellam;

namespace {
std::span<const std::uint8_t> Bytes(const std::string& s)
{
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}
const auto U = [](std::int32_t v) { return static_cast<std::uint32_t>(v); };

// The one-byte loops, bit by bit from the polynomials, as the reference the
// fast paths must match: registers in and out exactly as clsCRC holds them.
std::uint32_t RefReg(bool crc32, std::uint32_t reg, std::span<const std::uint8_t> bytes)
{
    for (const std::uint8_t b : bytes) {
        std::uint32_t r = crc32 ? (reg ^ b) & 0xFFu : (((reg >> 8) ^ b) & 0xFFu) << 8;
        for (int k = 0; k < 8; ++k)
            r = crc32 ? ((r & 1u) ? (r >> 1) ^ 0xEDB88320u : r >> 1) : ((r & 0x8000u) ? (r << 1) ^ 0x1021u : r << 1);
        reg = crc32 ? (reg >> 8) ^ r : (r & 0xFFFFu) ^ ((reg & 0xFFu) << 8);
    }
    return reg;
}
} // namespace

TEST(clsCRC, CheckValuesAddAndCalculate)
{
    clsCRC crc;
    EXPECT_EQ(crc.CalculateBytes({}), 0) << "the CRC-32 of no bytes is 0";
    crc.AddString("12345");
    EXPECT_EQ(U(crc.AddString("6789")), 0xCBF43926u);
    crc.AddString("garbage first");
    EXPECT_EQ(U(crc.CalculateBytes(Bytes("123456789"))), 0xCBF43926u);
    // Texts are checksummed as Windows-1252 bytes: "é" is one byte (E9) there, two in UTF-8.
    EXPECT_EQ(crc.CalculateString("caf\xC3\xA9"), crc.CalculateBytes(Bytes("caf\xE9")));

    crc.SetAlgorithm(0);
    crc.AddString("1234");
    EXPECT_EQ(crc.AddString("56789"), 0x31C3);
    EXPECT_EQ(std::pair(crc.Algorithm(), crc.CalculateString("123456789")), std::pair(0, 0x31C3));
    crc.SetAlgorithm(5);
    EXPECT_EQ(crc.Algorithm(), -1) << "any nonzero value selects CRC-32";
    crc.setValue(0); // the setter fills the register unchanged
    EXPECT_EQ(U(crc.value()), 0xFFFFFFFFu);
}

// Every length 0..4096 at every alignment 0..63, and the same bytes fed in
// pieces split at random points from random starting registers.
TEST(clsCRC, FastPathsMatchTheOneByteLoop)
{
    constexpr std::size_t kMaxLen = 4096, kAlignments = 64;
    std::mt19937 rng(20261206);
    std::vector<std::uint8_t> buf(kMaxLen + kAlignments);
    for (auto& b : buf)
        b = static_cast<std::uint8_t>(rng());
    for (const bool crc32 : {true, false}) {
        SCOPED_TRACE(crc32 ? "CRC-32" : "CRC-16");
        clsCRC crc;
        crc.SetAlgorithm(crc32 ? 1 : 0);
        auto value = [&](std::uint32_t reg) { return static_cast<std::int32_t>(crc32 ? ~reg : reg & 0xFFFFu); };
        for (std::size_t align = 0; align < kAlignments; ++align) {
            std::uint32_t reg = crc32 ? 0xFFFFFFFFu : 0u; // the reference of every prefix in one pass
            for (std::size_t len = 0; len <= kMaxLen; ++len) {
                const std::span<const std::uint8_t> bytes(buf.data() + align, len);
                if (crc.CalculateBytes(bytes) != value(reg)) {
                    ADD_FAILURE() << "length " << len << " at alignment " << align;
                    break;
                }
                if (len < kMaxLen)
                    reg = RefReg(crc32, reg, std::span<const std::uint8_t>(buf.data() + align + len, 1));
            }
        }
        for (int round = 0; round < 300; ++round) {
            const std::span<const std::uint8_t> bytes(buf.data() + rng() % kAlignments, rng() % (kMaxLen + 1));
            const auto start = static_cast<std::int32_t>(rng()); // may leave bits above the CRC-16's 16
            crc.setValue(start);
            for (std::size_t at = 0, piece = 0; at < bytes.size(); at += piece)
                crc.AddBytes(bytes.subspan(at, piece = std::min<std::size_t>(bytes.size() - at, rng() % 300)));
            ASSERT_EQ(crc.value(), value(RefReg(crc32, U(start), bytes))) << "round " << round;
        }
    }
}

TEST(clsCRC, FilesAreStreamedInBlocks)
{
    test::TempDir dir;
    clsCRC crc;
    // Around block edges: one block, one byte more, several blocks and a rest.
    for (const std::size_t size : {clsCRC::kFileBlock, clsCRC::kFileBlock + 1, 3 * clsCRC::kFileBlock + 4321}) {
        std::string big(size, '\0');
        for (std::size_t i = 0; i < big.size(); ++i)
            big[i] = static_cast<char>(i * 7 + i / 251);
        EXPECT_EQ(crc.CalculateFile(dir.write("big", big)).value(), crc.CalculateBytes(Bytes(big))) << size;
    }
    // Empty and failed readings give their answers without touching the running value.
    crc.CalculateString("1234");
    EXPECT_EQ(crc.CalculateFile(dir.write("empty", "")).value(), 0);
    // A folder cannot be read as a file; a device would never end.
    EXPECT_EQ(std::tuple(crc.CalculateFile(dir.file("missing")).error().number,
                  crc.CalculateFile(dir.str()).error().number, crc.CalculateFile("/dev/zero").error().number),
        std::tuple(ENOENT, EISDIR, EINVAL));
    // A reading the system refuses gives the system's reason (this kernel attribute of a network device has none).
    if (std::filesystem::exists("/sys/class/net/lo/speed")) {
        EXPECT_EQ(crc.CalculateFile("/sys/class/net/lo/speed").error().number, EINVAL);
    }
    EXPECT_EQ(U(crc.AddString("56789")), 0xCBF43926u);
    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(crc.CalculateFile(dir.write("a", "1"), stop.get_token()).error().number, ECANCELED);

    // 4 GiB of holes and "tail": read whole, holding one block, not the file.
    // Holes in a memory file system read without disk or page cache.
    const auto sparse = (std::filesystem::exists("/dev/shm") ? std::filesystem::path("/dev/shm") : dir.path())
        / ("pellam-sparse-" + std::to_string(::getpid()) + ".mp3");
    std::ofstream(sparse, std::ios::trunc).close();
    std::filesystem::resize_file(sparse, 4ull << 30);
    std::ofstream(sparse, std::ios::binary | std::ios::app) << "tail";
    rusage before {}, after {};
    ::getrusage(RUSAGE_SELF, &before);
    const auto value = crc.CalculateFile(sparse.string());
    ::getrusage(RUSAGE_SELF, &after);
    std::filesystem::remove(sparse);
    EXPECT_EQ(U(value.value()), 0x9B519C5Cu);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "peak resident size grew (KiB)";
}

TEST(CrcText, LayoutAndSources)
{
    const std::pair<std::int32_t, const char*> layouts[] = {{static_cast<std::int32_t>(0xCBF43926u), "CB F4 39 26"},
        {0xABCDEF1, "AB CD EF F1"}, {0xABCDEF, "AB CD EF 00"}, {0xABCDE, "AB CD DE 00"}, {0xABCD, "AB CD 00 00"},
        {0xABC, "AB BC 00 00"}, {0xAB, "AB 00 00 00"}, {0xA, "0A 00 00 00"}, {0, "00 00 00 00"}, {-1, "FF FF FF FF"}};
    for (const auto& [v, text] : layouts)
        EXPECT_EQ(CrcValueText(v), text) << v;

    test::TempDir dir;
    clsCRC crc;
    crc.SetAlgorithm(0);
    EXPECT_EQ(FileCRCText(crc, dir.write("rec.mp3", "123456789")), "CB F4 39 26") << "always a CRC-32";
    EXPECT_EQ(FileCRCText(crc, "123456789"), "CB F4 39 26") << "a relative text is checksummed itself";
    for (const std::string& unknown : {std::string(), dir.file("missing.mp3"), dir.str()})
        EXPECT_EQ(FileCRCText(crc, unknown), "Unknown") << unknown;
    EXPECT_EQ(GetStableCRC(crc, dir.file("rec.mp3")), "CB F4 39 26");
    // This file reads differently every time, like a recording still being written.
    EXPECT_EQ(GetStableCRC(crc, "/proc/sys/kernel/random/uuid"), "Unknown");
    // The SHA-256 comes with a confirmed CRC only.
    EXPECT_EQ(GetStableSums(crc, dir.file("rec.mp3")),
        (StableSums {"CB F4 39 26", "15e2b0d3c33891ebb0f1ef609ec419420c20e320ce94c65fbc8c3312448eb225"}));
    EXPECT_EQ(GetStableSums(crc, "/proc/sys/kernel/random/uuid"), (StableSums {"Unknown", ""}));
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
        return ConfirmReadings([&](bool) {
            const std::string text = FileCRCText(crc, path);
            if (++readings <= growths)
                std::ofstream(path, std::ios::binary | std::ios::app) << "+";
            if (readings == vanishAt)
                std::filesystem::remove(path);
            return text;
        });
    };
    EXPECT_EQ(std::tuple(confirm(0, 0), readings), std::tuple(std::string("CB F4 39 26"), 4));
    // Still written during the first attempt: the second attempt reads the finished file.
    EXPECT_EQ(std::tuple(confirm(3, 0), readings), std::tuple(FileCRCText(crc, dir.write("d.mp3", "123456789+++")), 8));
    // Written all the time: every attempt disagrees at its second reading.
    EXPECT_EQ(std::tuple(confirm(1000, 0), readings), std::tuple(std::string("Unknown"), 12));
    // Gone after two readings: the attempt disagrees, and a missing file is "Unknown".
    EXPECT_EQ(std::tuple(confirm(0, 2), readings), std::tuple(std::string("Unknown"), 7));
    std::stop_source stop;
    stop.request_stop();
    readings = 0;
    EXPECT_EQ(ConfirmReadings([&](bool) { return std::to_string(++readings); }, stop.get_token()), "Unknown");
    EXPECT_EQ(readings, 0) << "a requested stop reads nothing more";
}
