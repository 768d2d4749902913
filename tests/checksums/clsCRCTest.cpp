#include "checksums/clsCRC.h"
#include "checksums/CrcText.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

using namespace pellam;

namespace {
std::span<const std::uint8_t> Bytes(const std::string& s)
{
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
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

TEST(clsCRC, FilesAreReadWhole)
{
    test::TempDir dir;
    clsCRC crc;
    EXPECT_EQ(static_cast<std::uint32_t>(crc.CalculateFile(dir.write("a", "123456789")).value()), 0xCBF43926u);
    EXPECT_EQ(crc.CalculateFile(dir.write("empty", "")).value(), 0);
    std::string big(300000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7);
    EXPECT_EQ(crc.CalculateFile(dir.write("big", big)).value(), crc.CalculateBytes(Bytes(big)));
    EXPECT_FALSE(crc.CalculateFile(dir.file("missing")).ok());
    EXPECT_FALSE(crc.CalculateFile(dir.str()).ok()) << "a folder cannot be read as a file";
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

    // A stable CRC needs four equal readings.
    EXPECT_EQ(GetStableCRC(crc, dir.write("rec.mp3", "123456789")), "CB F4 39 26");
    EXPECT_EQ(GetStableCRC(crc, dir.str() + "/gone.mp3"), "Unknown");
    // This file reads differently every time, like a recording still being written.
    EXPECT_EQ(GetStableCRC(crc, "/proc/sys/kernel/random/uuid"), "Unknown");
}
