#include "checksums/clsCRC.h"

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

    crc.SetAlgorithm(0);
    crc.AddString("1234");
    EXPECT_EQ(crc.AddString("56789"), 0x31C3);
}

TEST(clsCRC, TextsAreChecksummedAsWindows1252Bytes)
{
    clsCRC crc;
    // "é" is one byte (E9) in the code page, two in UTF-8.
    const auto text = crc.CalculateString("caf\xC3\xA9");
    EXPECT_EQ(text, crc.CalculateBytes(Bytes("caf\xE9")));
}

TEST(clsCRC, ValueSetterFillsTheRegisterUnchanged)
{
    clsCRC crc;
    crc.setValue(0);
    EXPECT_EQ(static_cast<std::uint32_t>(crc.value()), 0xFFFFFFFFu);
    crc.SetAlgorithm(0);
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
