#include "media/Mp3Duration.h"

#include "support/Fifo.h"
#include "support/LameEncode.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace pellam;
using pellam::test::EncodeTone;
using pellam::test::TempDir;

TEST(DurationText, TwoDigitFieldsAndMinutesPastTheHour)
{
    for (const auto& [seconds, text] :
        {std::pair {0, "00:00"}, {59, "00:59"}, {300, "05:00"}, {3599, "59:59"}, {4503, "75:03"}, {6001, "100:01"}})
        EXPECT_EQ(DurationText(seconds), text) << seconds;
}

class Mp3DurationFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::HaveLame())
            GTEST_SKIP() << "the lame encoder is not installed";
    }
    TempDir dir;
};

TEST_F(Mp3DurationFiles, FiveMinutesAreFiveMinutesToTheSecondInCbrAndVbrAndHalvesGoToTheEvenSecond)
{
    const std::int64_t fiveMinutes = 22050LL * 300;
    for (const char* options : {"-b 64", "-V 5"}) {
        const std::string path = EncodeTone(dir, "five.mp3", fiveMinutes, 22050, options);
        ASSERT_FALSE(path.empty()) << options;
        EXPECT_EQ(std::tuple(ScanMp3(path).value().samples, Mp3DurationText(path)), std::tuple(fiveMinutes, "05:00"))
            << options;
    }
    // 2.5 s and 3.5 s exactly: halves go to 2 and 4.
    EXPECT_EQ(Mp3DurationText(EncodeTone(dir, "a.mp3", 22050 * 5 / 2, 22050, "-b 64")), "00:02");
    EXPECT_EQ(Mp3DurationText(EncodeTone(dir, "b.mp3", 22050 * 7 / 2, 22050, "-b 64")), "00:04");
    EXPECT_EQ(Mp3DurationText(EncodeTone(dir, "c.mp3", 22050 * 7 / 2 + 1, 22050, "-b 64")), "00:04");
}

TEST_F(Mp3DurationFiles, OnlyDataWithoutAnMp3FrameHasNoDuration)
{
    const std::string good = EncodeTone(dir, "good.mp3", 22050 * 20, 22050, "-b 64");
    ASSERT_FALSE(good.empty());
    const std::string bytes = test::ReadAll(good);
    ASSERT_EQ(Mp3DurationText(good), "00:20");
    std::stop_source closing; // the window closed during the scan
    closing.request_stop();
    EXPECT_EQ(Mp3DurationText(good, closing.get_token()), kUnknownDuration);

    EXPECT_EQ(std::tuple(Mp3DurationText(dir.write("empty.mp3", "")),
                  Mp3DurationText(dir.write("text.mp3", std::string(5000, 'x')))),
        std::tuple(kUnknownDuration, kUnknownDuration));
    std::filesystem::create_directory(dir.path() / "folder.mp3");
    const std::string fifo = test::MakeFifo(dir, "pipe.mp3");
    EXPECT_EQ(test::ReadPromptly(fifo, [&] { return Mp3DurationText(fifo); }), kUnknownDuration);
    EXPECT_EQ(std::tuple(ScanMp3(dir.file("missing.mp3")).error().number,
                  ScanMp3(dir.file("folder.mp3")).error().number, ScanMp3(fifo).error().number),
        std::tuple(ENOENT, EISDIR, EINVAL));
    // An ID3 tag announcing far more bytes than the file holds; one whose
    // size field is not even sync-safe is passed over to the audio behind it.
    const std::string hugeTag = std::string("ID3\x03\x00\x00\x7F\x7F\x7F\x7F", 10) + "TIT2";
    EXPECT_EQ(Mp3DurationText(dir.write("hugetag.mp3", hugeTag)), kUnknownDuration);
    const std::string badTag = std::string("ID3\x04\x00\x00\xFF\xFF\xFF\xFF", 10);
    EXPECT_EQ(Mp3DurationText(dir.write("badtag.mp3", badTag + bytes)), "00:20");
}
