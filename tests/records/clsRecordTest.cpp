#include "records/clsRecord.h"
#include "records/RecordWriter.h"

#include "RecordFiles.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <memory>
#include <random>

using namespace pellam;
using namespace pellam::test;
using V = std::vector<std::string>;

namespace {

struct Loaded {
    bool ok = false;
    int persons = 0;
    std::int64_t cutAtSlot = 0;
    SystemError error;
    std::unique_ptr<RecordTable> table = std::make_unique<RecordTable>();
    RoleTable roles;
    std::tuple<bool, std::int64_t, std::string> header; // the header read alone: ok, cut slot, role-0 label
    const std::string& operator()(int k, int r, int p, int f) const { return (*table)(k, r, p, f); }
};

Loaded Load(const std::string& path)
{
    clsRecord store;
    store.SetRecordPath(path);
    Loaded l;
    l.table->Header(5) = "stale"; // a load starts from a cleared table
    l.roles.RoleName0 = "Before"; // and only a load that succeeds takes over the file's role label
    const auto result = store.RECORDLOAD(*l.table, l.roles);
    if ((l.ok = result.ok())) {
        l.persons = result->persons;
        l.cutAtSlot = result->cutAtSlot;
    } else
        l.error = result.error();
    std::array<std::string, 11> header;
    RoleTable roles;
    roles.RoleName0 = "Before";
    const auto head = store.RECORDHEADER(header, roles);
    l.header = {head.ok(), head.ok() ? head->cutAtSlot : -1, roles.RoleName0};
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
    const std::pair<const char*, std::size_t> cases[] = {
        {"", 1050}, {"0", 1050}, {"-5", 1050}, {"75", 150}, {"149", 150}, {"150", 150}, {"151", 151}, {" 200 ", 200}};
    for (const auto& [text, L] : cases) {
        const auto l = LoadBytes(RecordFile(text, L, {}, 0));
        EXPECT_EQ(V({l.table->Header(0), l.table->Header(10), l.roles.RoleNames[0]}), V({text, "Suspect", "Suspect"}));
    }
    EXPECT_FALSE(LoadBytes(RecordFile("15O", 150, {}, 0)).ok);
    // With the probe length 128 a length word above 126 cannot be a slot; a slot filled exactly is read.
    EXPECT_FALSE(LoadBytes(Slot(std::string(127, '1'), 1050)).ok);
    std::string full = RecordFile("150", 150, {}, 0);
    full.replace(9 * 150, 150, Slot(std::string(148, 'x'), 150));
    EXPECT_EQ(LoadBytes(full).table->Header(9), std::string(148, 'x'));
}

TEST(clsRecord, PersonsFollowTheRoleCounts)
{
    // Two hostages and nothing else: 78 slots.
    const auto l = LoadBytes(RecordFile("150", 150, {"", "0", "2"}, 2));
    ASSERT_EQ(std::tuple(l.ok, l.persons), std::tuple(true, 2));
    EXPECT_EQ(V({l(2, 1, 1, 0), l(2, 1, 3, 10), l(2, 2, 1, 0), l(2, 2, 3, 10), l(2, 3, 1, 0), l(0, 1, 1, 0),
                  l.table->Header(9), l.table->Trailer()}),
        V({"p0", "p32", "p33", "p65", "", "", "nine",
            "\xC3\x82\x02\x30\x25\x1B\x46\x26\xE2\x80\x9C\xC2\xA9\xC2\xA4\xC3\x9B"}));

    EXPECT_EQ(LoadBytes(RecordFile("150", 150, {"", "", "", "", "", "", "", "100"}, 100))(7, 100, 3, 10), "p3299");
    const auto negative = LoadBytes(RecordFile("150", 150, {"-1", "1"}, 1));
    EXPECT_EQ(V({negative(0, 1, 1, 0), negative(1, 1, 1, 0)}), V({"", "p0"}));

    const auto tooMany = LoadBytes(RecordFile("150", 150, {"101"}, 101));
    EXPECT_EQ(std::tuple(tooMany.ok, tooMany.error.number, tooMany.error.text),
        std::tuple(false, 0, "the person count of role 0 is not a number up to 100"));
    EXPECT_FALSE(LoadBytes(RecordFile("150", 150, {"two"}, 2)).ok);
}

TEST(clsRecord, DamagedCutAndMissingFiles)
{
    std::string bad = RecordFile("150", 150, {"1"}, 1);
    bad[3 * 150] = static_cast<char>(149); // header text 3: length word above L - 2
    const auto failed = LoadBytes(bad);
    EXPECT_EQ(failed.error.text, "slot 4 claims 149 bytes, more than a slot holds");
    // What was read before the fault is kept; the role labels are not touched.
    EXPECT_EQ(V({failed.table->Header(1), failed.table->Header(5), failed.roles.RoleName0, failed.roles.RoleNames[0]}),
        V({"1", "", "Before", ""}));

    // Ending right after the last person, as a backup does, or with the padding of the last slot cut off.
    std::string bytes = RecordFile("150", 150, {"1"}, 1);
    EXPECT_EQ(std::tuple(LoadBytes(RecordFile("150", 150, {"1"}, 1, false)).cutAtSlot,
                  LoadBytes(bytes.substr(0, bytes.size() - 100)).cutAtSlot),
        std::tuple(0, 0));
    // Cut anywhere else, the file still loads: what it does not reach reads
    // as empty text, a text cut by the end keeps the bytes that are there,
    // and the first slot it does not hold whole is told.
    const std::size_t person = 11 * 150; // slot 12, the subject's first field "p0"
    // Bytes kept; persons, the slot told, fields 0, 4 and 5 of the subject.
    const std::tuple<std::size_t, int, std::int64_t, const char*, const char*, const char*> cuts[] = {
        {0, 0, 1, "", "", ""}, // empty file: slot length 1050, no counts
        {150, 0, 2, "", "", ""}, // only the slot length: no counts either
        {person + 1, 1, 12, "", "", ""}, // half a length word
        {person + 3, 1, 12, "p", "", ""}, // one of two text bytes
        {person + 4 * 150 + 4, 1, 17, "p0", "p4", ""}, // field 4 whole, its padding gone
        {person + 5 * 150, 1, 17, "p0", "p4", ""},
    };
    for (const auto& [size, persons, slot, field0, field4, field5] : cuts) {
        const auto l = LoadBytes(bytes.substr(0, size));
        EXPECT_EQ(
            std::tuple(l.ok, l.persons, l.cutAtSlot, l(0, 1, 1, 0), l(0, 1, 1, 4), l(0, 1, 1, 5), l.roles.RoleName0),
            std::tuple(true, persons, slot, field0, field4, field5, size > person ? "Suspect" : ""))
            << size;
    }
    RecordLoad cut {1, 44, 17};
    EXPECT_EQ(cut.CutShortNote(), "The records file ends inside slot 17 of 44: the texts from there on read as empty.");
}

TEST(clsRecord, GarbageNeverLoadsHalfway)
{
    std::mt19937 rng(7);
    for (int i = 0; i < 200; ++i) {
        std::string bytes = Slot("150", 150);
        for (std::size_t b = 0, size = rng() % 4000; b < size; ++b)
            bytes += static_cast<char>(rng() % 4 == 0 ? rng() % 3 : rng());
        const auto l = LoadBytes(bytes);
        EXPECT_EQ(l.roles.RoleName0, l.ok ? l.table->Header(10) : "Before") << i;
        EXPECT_EQ(l.header, std::tuple(l.ok, l.ok ? l.cutAtSlot : -1, l.roles.RoleName0)) << i;
    }
}

// The statistics page reads only the header, yet answers as a full load
// would: a fault in any person's slot fails it too.
TEST(clsRecord, HeaderReadAnswersAsTheFullLoad)
{
    const std::string good = RecordFile("150", 150, {"1"}, 1);
    std::string person = good, trailer = good;
    person[16 * 150] = static_cast<char>(149); // slot 17, the subject's field 5
    trailer[44 * 150] = static_cast<char>(149); // slot 45, the trailer
    const std::tuple<std::string, bool, std::int64_t, std::string> cases[] = {
        {good, true, 0, "Suspect"},
        {person, false, -1, "Before"},
        {trailer, false, -1, "Before"},
        {good.substr(0, 16 * 150 + 3), true, 17, "Suspect"},
        {RecordFile("150", 150, {"101"}, 101), false, -1, "Before"},
    };
    for (const auto& [bytes, ok, cut, label] : cases) {
        const auto l = LoadBytes(bytes);
        EXPECT_EQ(std::tuple(l.header, l.ok), std::tuple(std::tuple(ok, cut, label), ok)) << bytes.size();
    }
}

TEST(clsRecord, SaveThenLoadGivesBackEveryText)
{
    TempDir dir;
    clsRecord store;
    store.SetRecordPath(dir.write("9_Records.rmq", std::string(200000, 'z'))); // longer old file
    RecordTable table;
    for (int k = 0; k < 8; ++k)
        table.Header(k + 1) = std::to_string(k % 3);
    table.Header(10) = "Target \xE2\x82\xAC";
    for (int k = 0; k < 8; ++k)
        for (int r = 1; r <= k % 3; ++r)
            for (int p = 1; p <= 3; ++p)
                for (int f = 0; f < 11; ++f)
                    table(k, r, p, f) = std::to_string(((k * 10 + r) * 10 + p) * 100 + f) + " \xC3\xA9\xE2\x82\xAC";
    for (int i = 0; i < 190; ++i) // the longest text: 190 characters, 380 bytes in UTF-8
        table.Header(9) += "\xC3\xA9";
    ASSERT_TRUE(RecordSave(store, table));

    const std::string bytes = ReadAll(store.RecordPath());
    EXPECT_EQ(bytes.size(), 200000u) << "a longer old file is overwritten, not cut";
    ASSERT_EQ(table.Header(0), "240"); // the slot length: the longest text, 190 characters, plus fifty
    const std::size_t end = (11 + 7 * 33) * 240; // 7 persons
    EXPECT_EQ(std::tuple(bytes.substr(end, 13), bytes.substr(end + 240, 1)),
        std::tuple(Slot(kTrailerBytes, 240).substr(0, 13), "z"));

    const auto l = Load(store.RecordPath());
    ASSERT_TRUE(l.ok);
    for (int i = 0; i < 8 * 101 * 44; ++i) // every text of roles 0..7
        ASSERT_EQ(l(i / 4444, i / 44 % 101, i / 11 % 4, i % 11), table(i / 4444, i / 44 % 101, i / 11 % 4, i % 11))
            << i;
    EXPECT_EQ(l.roles.RoleName0, "Target \xE2\x82\xAC");
}

TEST(clsRecord, BackupHasNoTrailerAndLiesBesideTheFileAndFilesAndFoldersAreWritten)
{
    TempDir dir;
    clsRecord store;
    store.SetRecordPath(dir.file("77_Records.rmq"));
    RecordTable table;
    table.Header(2) = "1";
    table(1, 1, 2, 5) = "95814";
    table.Trailer() = std::string(500, 't'); // not counted in the slot length
    table(3, 100, 0, 2) = std::string(120, 'x'); // counted even where nothing is written: slots of 170
    ASSERT_TRUE(RECORDSAVEBAK(store, table));
    EXPECT_EQ(std::tuple(ReadAll(dir.file("77_Records.bak")).size(),
                  std::filesystem::exists(dir.file("77_Records.rmq")), Load(dir.file("77_Records.bak"))(1, 1, 2, 5)),
        std::tuple((11u + 33u) * 170u, false, "95814"));

    store.SetRecordPath("abc");
    EXPECT_FALSE(RECORDSAVEBAK(store, table));
    store.SetRecordPath("/a/\xC3\xA9.rmq\xC3\xA9");
    EXPECT_EQ(store.BackupPath(), "/a/\xC3\xA9..bak");

    // Refused saves: a missing folder, a count above 100, a text longer than a length word counts.
    store.SetRecordPath(dir.file("missing/1_Records.rmq"));
    EXPECT_FALSE(RecordSave(store, table));
    store.SetRecordPath(dir.file("1_Records.rmq"));
    table.Header(1) = "101";
    EXPECT_FALSE(RecordSave(store, table));
    table.Header(1) = "1";
    table(0, 1, 1, 1) = std::string(70000, 'n');
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
    CheckDir(dir.str() + "/a/b/c/");
    EXPECT_TRUE(std::filesystem::is_directory(dir.str() + "/a/b/c"));
    EXPECT_FALSE(std::filesystem::exists(dir.str() + "/a/b/file"));
    CheckDir("relative/x/");
    EXPECT_FALSE(std::filesystem::exists("relative"));
}
