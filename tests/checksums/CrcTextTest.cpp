#include "checksums/CrcText.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace pellam;

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
}

TEST(CrcText, StableCrcNeedsFourEqualReadings)
{
    test::TempDir dir;
    clsCRC crc;
    EXPECT_EQ(GetStableCRC(crc, dir.write("rec.mp3", "123456789")), "CB F4 39 26");
    EXPECT_EQ(GetStableCRC(crc, dir.str() + "/gone.mp3"), "Unknown");
    // This file reads differently every time, like a recording still being written.
    EXPECT_EQ(GetStableCRC(crc, "/proc/sys/kernel/random/uuid"), "Unknown");
}
