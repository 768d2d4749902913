#include "records/clsRecord.h"
#include "RunVerb.h"

#include <gtest/gtest.h>

using namespace pellam;
using namespace pellam::test;

namespace {

std::string Contains(const std::string& out, const std::string& part)
{
    return out.find(part) == std::string::npos ? "missing " + part + " in " + out : "";
}

} // namespace

TEST(VerbRecords, PrintsTheHeaderAndEveryPersonInFileOrder)
{
    TempDir dir;
    clsRecord store;
    store.SetRecordPath(dir.file("5_Records.rmq"));
    RecordTable table;
    table.Header(1) = "1";
    table.Header(2) = "2";
    table.Header(9) = "nine";
    table.Header(10) = "Suspect";
    table(0, 1, 1, 0) = "ID-1";
    table(0, 1, 1, 1) = "Ann";
    table(0, 1, 3, 9) = "Lee";
    table(0, 1, 1, 2) = "not shown";
    table(1, 2, 3, 7) = "B";
    table(1, 2, 3, 10) = "Quote \"q\"";
    ASSERT_TRUE(store.RecordSave(table));

    const auto r = RunVerb({"records", store.RecordPath()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.rfind("{\"ok\":true,\"header\":[\"150\",\"1\",\"2\",\"\",\"\",\"\",\"\",\"\",\"\",\"nine\",\"Suspect\"],"
                          "\"persons\":[{\"role\":0,\"person\":1,\"RoleName\":\"Suspect\",\"DisplayName\":\"Ann Lee\","
                          "\"fields\":{\"IdNumber\":\"ID-1\",\"Name\":\"Ann\",\"Involvement\":\"\",",
                          0),
              0u)
        << r.out;
    EXPECT_EQ(Contains(r.out, "{\"role\":1,\"person\":1,\"RoleName\":\"Family\",\"DisplayName\":\"\","), "");
    EXPECT_EQ(Contains(r.out, "{\"role\":1,\"person\":2,\"RoleName\":\"Family\",\"DisplayName\":\" B Quote \\\"q\\\"\","), "");
    EXPECT_EQ(Contains(r.out, "\"NamePart3\":\"\",\"NamePart4\":\"Quote \\\"q\\\"\"}}]}\n"), "");
    EXPECT_EQ(r.out.find("not shown"), std::string::npos);
}

TEST(VerbRecords, AnInvalidFileIsANegativeAnswer)
{
    TempDir dir;
    clsRecord store;
    store.SetRecordPath(dir.file("5_Records.rmq"));
    std::string bytes;
    for (const std::string text : {"150", "101", "", "", "", "", "", "", "", "", "Subject"}) {
        std::string slot(150, ' ');
        slot.replace(0, 2 + text.size(), std::string(1, static_cast<char>(text.size())) + '\0' + text);
        bytes += slot;
    }
    ASSERT_TRUE(store.StoreData(bytes));
    const auto r = RunVerb({"records", store.RecordPath()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.rfind("{\"ok\":false,\"header\":[\"150\",\"101\",", 0), 0u) << r.out;
    EXPECT_EQ(Contains(r.out, "\"persons\":[]}"), "");
}

TEST(VerbRecords, AFileThatCannotBeOpenedIsBadInput)
{
    TempDir dir;
    for (const std::string& path : {dir.file("none.rmq"), dir.str()}) {
        const auto r = RunVerb({"records", path});
        EXPECT_EQ(r.status, 2) << path;
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(path), std::string::npos) << r.err;
    }
}
