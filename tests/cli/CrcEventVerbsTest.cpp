#include "CliRunner.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace pellam::test;

TEST(CliCrc, PrintsTheConfirmedTextThenThePathAsGiven)
{
    TempDir dir;
    const auto path = dir.write("rec 1.mp3", "123456789");
    const auto r = RunCli({path, "x"}); // not a verb
    EXPECT_EQ(r.exitCode, 2);
    const auto ok = RunCli({"crc", path, dir.write("empty.mp3", "")});
    EXPECT_EQ(ok.exitCode, 0);
    EXPECT_EQ(ok.out, "CB F4 39 26  " + path + "\n00 00 00 00  " + dir.file("empty.mp3") + "\n");
}

TEST(CliCrc, UnreadableFilesAreUnknownAndNamedOnStderr)
{
    TempDir dir;
    const auto r = RunCli({"crc", dir.file("gone.mp3")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "Unknown  " + dir.file("gone.mp3") + "\n");
    EXPECT_NE(r.err.find("gone.mp3"), std::string::npos);
    EXPECT_EQ(RunCli({"crc"}).exitCode, 2);
}

TEST(CliEvent, PrintsTheIncidentAsJson)
{
    TempDir dir;
    const auto path = dir.write("9.evt", "a,b,\"9\",\"0800\",\"1/2/2026\",\"Dock \"\"B\"\"\",c,d,e,f,g,1,"
                                         "\"Ann\",\"1/1/1990\",x,\"/att\",\"1/3/2026\",\"0900\",2");
    const auto r = RunCli({"event", path});
    EXPECT_EQ(r.exitCode, 0);
    // The quoted location ends at its second quote; the rest up to the comma is dropped.
    EXPECT_EQ(r.out, "{\"ok\":true,\"CaseNumber\":\"9\",\"StartTime\":\"0800\",\"StartDate\":\"1/2/2026\","
                     "\"Location\":\"Dock \",\"SubjectCount\":1,\"Subjects\":[{\"Name\":\"Ann\",\"DOB\":\"1/1/1990\"}],"
                     "\"AttachPath\":\"/att/\",\"EndDate\":\"1/3/2026\",\"EndTime\":\"0900\",\"Mp3Count\":2}\n");
}

TEST(CliEvent, UnreadableEventFileIsNotOk)
{
    TempDir dir;
    const auto r = RunCli({"event", dir.write("bad.evt", "1,2,3")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "{\"ok\":false}\n");
    EXPECT_EQ(RunCli({"event", dir.file("none.evt")}).exitCode, 1);
}
