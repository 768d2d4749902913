#include "records/clsRecord.h"
#include "records/RecordFields.h"
#include "records/RecordWriter.h"

#include "RecordFiles.h"
#include "support/Fifo.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>
#include <utility>

using namespace pellam;
using namespace pellam::test;

namespace {

struct Loaded {
    bool ok = false;
    int persons = 0;
    RecordLoadError error;
    std::unique_ptr<RecordTable> table;
    RoleTable roles;
};

Loaded Load(const std::string& path)
{
    clsRecord store;
    store.SetRecordPath(path);
    Loaded l {false, 0, {}, std::make_unique<RecordTable>(), RoleTable {}};
    l.table->Header(5) = "stale"; // a load starts from a cleared table
    l.roles.RoleName0 = "Before"; // and only a load that succeeds takes over the file's role label
    const auto result = store.RECORDLOAD(*l.table, l.roles);
    l.ok = result.ok();
    if (l.ok)
        l.persons = result.value();
    else
        l.error = result.error();
    return l;
}

Loaded LoadBytes(const std::string& bytes)
{
    TempDir dir;
    return Load(dir.write("1_Records.rmq", bytes));
}

} // namespace

TEST(clsRecord, SlotLengthComesFromTheFirstSlot)
{
    const struct {
        const char* text;
        std::size_t L;
    } cases[] = {
        {"", 1050}, {"0", 1050}, {"-5", 1050}, {"75", 150}, {"149", 150}, {"150", 150}, {"151", 151}, {" 200 ", 200}};
    for (const auto& c : cases) {
        const auto l = LoadBytes(RecordFile(c.text, c.L, {}, 0));
        EXPECT_TRUE(l.ok) << c.text;
        EXPECT_EQ(l.table->Header(0), c.text);
        EXPECT_EQ(l.table->Header(10), "Suspect") << c.text;
        EXPECT_EQ(l.roles.RoleNames[0], "Suspect");
    }
    EXPECT_FALSE(LoadBytes(RecordFile("15O", 150, {}, 0)).ok);
    // With the probe length 128 a length word above 126 cannot be a slot.
    EXPECT_FALSE(LoadBytes(Slot(std::string(127, '1'), 1050)).ok);
}

TEST(clsRecord, PersonsFollowTheRoleCounts)
{
    // Two hostages and nothing else: 78 slots.
    const std::string bytes = RecordFile("150", 150, {"", "0", "2"}, 2);
    ASSERT_EQ(bytes.size(), 78u * 150);
    const auto l = LoadBytes(bytes);
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.persons, 2);
    EXPECT_EQ((*l.table)(2, 1, 1, 0), "p0");
    EXPECT_EQ((*l.table)(2, 1, 3, 10), "p32");
    EXPECT_EQ((*l.table)(2, 2, 1, 0), "p33");
    EXPECT_EQ((*l.table)(2, 2, 3, 10), "p65");
    EXPECT_EQ((*l.table)(2, 3, 1, 0), "");
    EXPECT_EQ((*l.table)(0, 1, 1, 0), "");
    EXPECT_EQ(l.table->Header(9), "nine");
    EXPECT_EQ(l.table->Trailer(),
        "\xC3\x82\x02"
        "0%\x1B"
        "F&\xE2\x80\x9C\xC2\xA9\xC2\xA4\xC3\x9B");

    const auto full = LoadBytes(RecordFile("150", 150, {"", "", "", "", "", "", "", "100"}, 100));
    ASSERT_TRUE(full.ok);
    EXPECT_EQ((*full.table)(7, 100, 3, 10), "p3299");

    const auto negative = LoadBytes(RecordFile("150", 150, {"-1", "1"}, 1));
    ASSERT_TRUE(negative.ok);
    EXPECT_EQ((*negative.table)(0, 1, 1, 0), "");
    EXPECT_EQ((*negative.table)(1, 1, 1, 0), "p0");
    EXPECT_EQ(clsRecord::PersonCount(*negative.table, 0), 0);

    const auto tooMany = LoadBytes(RecordFile("150", 150, {"101"}, 101));
    EXPECT_FALSE(tooMany.ok);
    EXPECT_EQ(tooMany.error.Errno, 0);
    EXPECT_EQ(tooMany.error.Reason, "the person count of role 0 is not a number up to 100");
    EXPECT_FALSE(LoadBytes(RecordFile("150", 150, {"two"}, 2)).ok);
}

TEST(clsRecord, DamagedCutAndMissingFiles)
{
    std::string bad = RecordFile("150", 150, {"1"}, 1);
    bad[3 * 150] = static_cast<char>(149); // header text 3: length word above L - 2
    const auto failed = LoadBytes(bad);
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.error.Reason, "slot 4 claims 149 bytes, more than a slot holds");
    EXPECT_EQ(failed.table->Header(1), "1") << "what was read before the fault is kept";
    EXPECT_EQ(failed.table->Header(5), "");
    EXPECT_EQ(failed.roles.RoleName0, "Before");
    EXPECT_EQ(failed.roles.RoleNames[0], "");

    // Ending right after the last person, as a backup does.
    const auto backup = LoadBytes(RecordFile("150", 150, {"1"}, 1, false));
    EXPECT_TRUE(backup.ok);
    EXPECT_EQ(backup.table->Trailer(), "");

    // Padding of the last slot cut off.
    std::string bytes = RecordFile("150", 150, {"1"}, 1);
    EXPECT_TRUE(LoadBytes(bytes.substr(0, bytes.size() - 100)).ok);

    const std::size_t person = 11 * 150;
    for (std::size_t cut : {std::size_t {0}, std::size_t {150}, person + 5 * 150, person + 1, person + 3})
        EXPECT_FALSE(LoadBytes(bytes.substr(0, cut)).ok) << cut;

    // Files the system refuses carry its error number.
    TempDir dir;
    EXPECT_EQ(Load(dir.file("none.rmq")).error.Errno, ENOENT);
    EXPECT_EQ(Load(dir.str()).error.Errno, EISDIR);
    const std::string fifo = MakeFifo(dir, "pipe.rmq");
    const auto piped = ReadPromptly(fifo, [&] { return Load(fifo); });
    EXPECT_FALSE(piped.ok);
    EXPECT_EQ(piped.error.Errno, EINVAL) << "a FIFO is refused, not waited on";
}

TEST(clsRecord, GarbageNeverLoadsHalfway)
{
    std::mt19937 rng(7);
    for (int i = 0; i < 200; ++i) {
        std::string bytes = Slot("150", 150);
        const std::size_t size = rng() % 4000;
        for (std::size_t b = 0; b < size; ++b)
            bytes += static_cast<char>(rng() % 4 == 0 ? rng() % 3 : rng());
        const auto l = LoadBytes(bytes);
        EXPECT_EQ(l.roles.RoleName0, l.ok ? l.table->Header(10) : "Before") << i;
    }
}

TEST(clsRecord, SlotLengthIsTheLongestTextOfTheNamedRolesPlusFifty)
{
    RecordTable table;
    EXPECT_EQ(clsRecord::SlotLength(table), 150);
    table.Trailer() = std::string(500, 't');
    EXPECT_EQ(clsRecord::SlotLength(table), 150);
    table(3, 100, 0, 2) = std::string(120, 'x'); // counted even where nothing is written
    EXPECT_EQ(clsRecord::SlotLength(table), 170);
    std::string accents;
    for (int i = 0; i < 130; ++i)
        accents += "\xC3\xA9";
    table(0, 0, 0, 9) = accents;
    EXPECT_EQ(clsRecord::SlotLength(table), 180);
}

TEST(clsRecord, SaveThenLoadGivesBackEveryText)
{
    TempDir dir;
    clsRecord store;
    store.SetRecordPath(dir.write("9_Records.rmq", std::string(200000, 'z'))); // longer old file
    RecordTable table;
    for (int k = 0; k < 8; ++k)
        table.Header(k + 1) = std::to_string(k % 3);
    table.Header(9) = "kept";
    table.Header(10) = "Target \xE2\x82\xAC";
    for (int k = 0; k < 8; ++k)
        for (int r = 1; r <= k % 3; ++r)
            for (int p = 1; p <= 3; ++p)
                for (int f = 0; f < 11; ++f)
                    table(k, r, p, f) = std::to_string(k) + "/" + std::to_string(r) + "/" + std::to_string(p) + "/"
                        + std::to_string(f) + " \xC3\xA9\xE2\x82\xAC";
    std::string longest;
    for (int i = 0; i < 190; ++i)
        longest += "\xC3\xA9";
    table(5, 2, 1, 2) = longest;
    ASSERT_TRUE(RecordSave(store, table));
    EXPECT_EQ(table.Trailer(), clsRecord::TrailerText());

    const std::string bytes = ReadAll(store.RecordPath());
    EXPECT_EQ(bytes.size(), 200000u) << "a longer old file is overwritten, not cut";
    ASSERT_EQ(table.Header(0), "240"); // the slot length: the longest text, 190 characters, plus fifty
    const std::size_t persons = 0 + 1 + 2 + 0 + 1 + 2 + 0 + 1;
    EXPECT_EQ(bytes.substr((11 + persons * 33) * 240, 13), Slot(kTrailerBytes, 240).substr(0, 13));
    EXPECT_EQ(bytes.substr((11 + persons * 33 + 1) * 240, 1), "z");

    const auto l = Load(store.RecordPath());
    ASSERT_TRUE(l.ok);
    for (int k = 0; k < 8; ++k)
        for (int r = 0; r < RecordTable::kPersons; ++r)
            for (int p = 0; p < RecordTable::kPages; ++p)
                for (int f = 0; f < RecordTable::kFields; ++f)
                    ASSERT_EQ((*l.table)(k, r, p, f), table(k, r, p, f)) << k << " " << r << " " << p << " " << f;
    EXPECT_EQ(l.roles.RoleName0, "Target \xE2\x82\xAC");
}

TEST(clsRecord, BackupHasNoTrailerAndLiesBesideTheFile)
{
    TempDir dir;
    clsRecord store;
    store.SetRecordPath(dir.file("77_Records.rmq"));
    EXPECT_EQ(store.BackupPath(), dir.file("77_Records.bak"));
    RecordTable table;
    table.Header(2) = "1";
    table(1, 1, 2, 5) = "95814";
    ASSERT_TRUE(RECORDSAVEBAK(store, table));
    EXPECT_EQ(table.Trailer(), "");
    EXPECT_EQ(ReadAll(dir.file("77_Records.bak")).size(), (11u + 33u) * 150u);
    EXPECT_FALSE(std::filesystem::exists(dir.file("77_Records.rmq")));
    const auto l = Load(dir.file("77_Records.bak"));
    ASSERT_TRUE(l.ok);
    EXPECT_EQ((*l.table)(1, 1, 2, 5), "95814");

    store.SetRecordPath("abc");
    EXPECT_FALSE(store.BackupPath());
    EXPECT_FALSE(RECORDSAVEBAK(store, table));
    store.SetRecordPath("/a/\xC3\xA9.rmq\xC3\xA9");
    EXPECT_EQ(store.BackupPath(), "/a/\xC3\xA9..bak");
}

TEST(clsRecord, WritingFilesAndFolders)
{
    TempDir dir;
    clsRecord store;
    RecordTable table;
    store.SetRecordPath(dir.file("missing/1_Records.rmq"));
    EXPECT_FALSE(RecordSave(store, table));
    store.SetRecordPath(dir.file("1_Records.rmq"));
    table.Header(1) = "101";
    EXPECT_FALSE(RecordSave(store, table));
    table.Header(1) = "1";
    table(0, 1, 1, 1) = std::string(70000, 'n'); // longer than a length word counts
    EXPECT_FALSE(RecordSave(store, table));

    // StoreData replaces the file and creates its folders.
    store.SetRecordPath(dir.str() + "/case/sub/2_Records.rmq");
    ASSERT_TRUE(StoreData(store, std::string(500, 'o')));
    ASSERT_TRUE(StoreData(store, "caf\xC3\xA9\r\n"));
    EXPECT_EQ(ReadAll(store.RecordPath()), "caf\xE9\r\n");
    store.SetRecordPath(dir.str());
    EXPECT_FALSE(StoreData(store, "x"));

    // CheckDir creates folders but not a final name.
    CheckDir(dir.str() + "/a/b/file");
    EXPECT_TRUE(std::filesystem::is_directory(dir.str() + "/a/b"));
    EXPECT_FALSE(std::filesystem::exists(dir.str() + "/a/b/file"));
    CheckDir(dir.str() + "/a/b/c/");
    EXPECT_TRUE(std::filesystem::is_directory(dir.str() + "/a/b/c"));
    CheckDir("relative/x/");
    EXPECT_FALSE(std::filesystem::exists("relative"));
}

TEST(RecordFields, FieldsByNameAndTheDisplayName)
{
    RecordTable table;
    table(4, 2, 2, 7) = "123-45";
    table(4, 2, 3, 0) = "p.jpg";
    EXPECT_EQ(FieldText(table, 4, 2, "SSN"), "123-45");
    EXPECT_EQ(FieldText(table, 4, 2, "PhotoFile"), "p.jpg");
    EXPECT_EQ(FieldText(table, 4, 2, "Nickname"), "");
    table(1, 1, 3, 10) = "Jr"; // the display name joins the non-empty name parts
    EXPECT_EQ(DisplayName(table, 1, 1), " Jr");
    EXPECT_EQ(DisplayName(table, 9, 1), "");
}
