#include "workspace/Incident.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace pellam;

namespace {

// An event file with n subject pairs written (n may differ from the count).
std::string EventText(const std::string& count, int pairs, const std::string& attach = "/ev/Attach")
{
    std::string s = "\"Cordane\",\"7\",\"1234\",\"0930\",\"12/5/2026\",\"Pier 9, Berth 2\"\r\n";
    s += "a,b,c,d,e\r\n" + count + "\r\n";
    for (int i = 1; i <= pairs; ++i)
        s += "\"Name " + std::to_string(i) + "\",\"01/0" + std::to_string(i % 10) + "/1980\"\r\n";
    s += "\"\",\"" + attach + "\",\"12/6/2026\",\"1015\"\r\n7\r\n";
    return s;
}

} // namespace

TEST(EventFile, ReadsEveryFieldAndTheSubjectPairsTheCountAsksFor)
{
    test::TempDir dir;
    Incident inc;
    ASSERT_TRUE(ReadEventFile(dir.write("a.evt", EventText("3", 3)), inc));
    EXPECT_EQ(inc.CaseNumber, "1234");
    EXPECT_EQ(inc.StartTime, "0930");
    EXPECT_EQ(inc.StartDate, "12/5/2026");
    EXPECT_EQ(inc.Location, "Pier 9, Berth 2");
    EXPECT_EQ(inc.SubjectCount, 3);
    EXPECT_EQ(inc.SubjectName[3], "Name 3");
    EXPECT_EQ(inc.SubjectDOB[1], "01/01/1980");
    EXPECT_EQ(inc.AttachPath, "/ev/Attach/");
    EXPECT_EQ(inc.EndDate, "12/6/2026");
    EXPECT_EQ(inc.EndTime, "1015");
    EXPECT_EQ(inc.Mp3Count, 7);

    // Ten subjects fill the table.
    ASSERT_TRUE(ReadEventFile(dir.write("b.evt", EventText("10", 10)), inc));
    EXPECT_EQ(inc.SubjectName[10], "Name 10");
}

TEST(EventFile, CountsBelowTwoStillCarryOnePair)
{
    test::TempDir dir;
    for (const char* count : {"0", "1", "-4"}) {
        Incident inc;
        ASSERT_TRUE(ReadEventFile(dir.write("a.evt", EventText(count, 1)), inc)) << count;
        EXPECT_EQ(inc.SubjectName[1], "Name 1");
        EXPECT_EQ(inc.EndTime, "1015") << "the pair must be consumed for count " << count;
        EXPECT_EQ(inc.Mp3Count, 7);
    }
}

TEST(EventFile, AttachPathGetsOneTrailingSlash)
{
    test::TempDir dir;
    Incident inc;
    ASSERT_TRUE(ReadEventFile(dir.write("a.evt", EventText("1", 1, "/x/Attach/")), inc));
    EXPECT_EQ(inc.AttachPath, "/x/Attach/");
    ASSERT_TRUE(ReadEventFile(dir.write("b.evt", EventText("1", 1, "")), inc));
    EXPECT_EQ(inc.AttachPath, "/");
}

TEST(EventFile, BadFilesAreRefusedAndLeaveTheRecordAsItWas)
{
    test::TempDir dir;
    const std::string good = EventText("2", 2);
    struct Case {
        const char* what;
        std::string text;
    };
    const Case cases[] = {
        {"eleven subjects", EventText("11", 11)},
        {"count too large", EventText("40000", 1)},
        {"count too small", EventText("-32769", 1)},
        {"count not a number", EventText("12x", 1)},
        {"count empty", EventText("", 1)},
        {"fewer pairs than counted", EventText("3", 2)},
        {"truncated", good.substr(0, good.size() / 2)},
        {"empty", ""},
        {"binary", std::string("\x00\xff\x01\x89PNG\r\n\x1a\n", 12)},
    };
    for (const auto& c : cases) {
        Incident inc;
        inc.CaseNumber = "kept";
        EXPECT_FALSE(ReadEventFile(dir.write("bad.evt", c.text), inc)) << c.what;
        EXPECT_EQ(inc.CaseNumber, "kept") << c.what;
    }
    Incident inc;
    EXPECT_FALSE(ReadEventFile(dir.file("missing.evt"), inc));
    EXPECT_FALSE(ReadEventFile(dir.str(), inc)) << "a folder is not an event file";
}
