// The notes store on real files: what is kept, the schema's way up from its
// first version, and each store the review has to go on without (newer,
// damaged, read-only, full) left as it was.
#include "notes/NoteStore.h"
#include "notes/NotesReport.h"
#include "notes/IncidentNotes.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pellam::test {
namespace {

Mark OnRecording(const std::string& recording, std::int64_t ms, const std::string& note, std::int64_t created)
{
    Mark m;
    m.recording = recording;
    m.offsetMs = ms;
    m.note = note;
    m.examiner = "Sgt. Varga";
    m.createdMs = m.changedMs = created;
    m.recordingSha256 = std::string(64, 'a');
    return m;
}

std::vector<std::string> Notes(const NoteStore& store)
{
    std::vector<std::string> notes;
    const std::vector<Mark> all = store.All().value();
    for (const Mark& m : all)
        notes.push_back(m.note);
    return notes;
}

void Sql(const std::string& path, const char* sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

// A tmpfs of `kib` at `dir`, seen by this test's process alone; false when
// this process may not mount (not root), and the test says so.
bool MountPrivateTmpfs(const std::string& dir, int kib)
{
    if (::geteuid() != 0)
        return false;
    static const bool ownMounts
        = ::unshare(CLONE_NEWNS) == 0 && ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    return ownMounts
        && ::mount("pellam-test", dir.c_str(), "tmpfs", 0, ("size=" + std::to_string(kib) + "k").c_str()) == 0;
}

} // namespace

TEST(NoteStore, KeepsMarksInTheOrderMadeThroughEditsRemovalsRestoresAndReopening)
{
    TempDir dir;
    const std::string path = dir.file("n.sqlite");
    Mark document;
    document.on = MarkOn::Document;
    document.source = "MainLog";
    document.position = 0; // a position of 0 is a position, not none
    document.note = "NOC 14:48 \xE2\x80\x94 phone records requested";
    document.createdMs = document.changedMs = 3000;
    Mark kept;
    {
        auto store = std::move(NoteStore::Open(path)).value();
        const Mark late = store->Add(OnRecording("4711_Rec01_1433.mp3", 134250, "second weapon", 5000)).value();
        kept = store->Add(document).value();
        const Mark early = store->Add(OnRecording("4711_Rec02_1515.mp3", 0, "it's \"quoted\"", 1000)).value();
        EXPECT_TRUE(late.id > 0 && kept.id > late.id && early.id > kept.id);
        EXPECT_EQ(Notes(*store), (std::vector<std::string> {"it's \"quoted\"", document.note, "second weapon"}));

        EXPECT_TRUE(store->Edit(late.id, "second weapon: a knife", 9000).value());
        EXPECT_TRUE(store->Remove(early.id).value());
        EXPECT_FALSE(store->Remove(early.id).value());
        EXPECT_FALSE(store->Edit(early.id, "gone", 9000).value());
        // Undo of a removal brings the mark back under its id, once.
        EXPECT_TRUE(store->Restore(early).value());
        EXPECT_FALSE(store->Restore(early).value());
        EXPECT_TRUE(store->Remove(early.id).value());
        // A removed mark's id is never handed out again.
        EXPECT_GT(store->Add(OnRecording("x.mp3", 1, "new", 1)).value().id, early.id);
    }
    // A second copy of the program sees what the first wrote.
    auto again = std::move(NoteStore::Open(path)).value();
    const auto all = again->All().value();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[1], kept);
    EXPECT_EQ(std::tuple(all[2].note, all[2].createdMs, all[2].changedMs, all[2].offsetMs),
        std::tuple("second weapon: a knife", 5000, 9000, 134250));
    auto other = std::move(NoteStore::Open(path)).value();
    other->Remove(kept.id);
    EXPECT_EQ(again->All().value().size(), 2u);
}

TEST(NoteStore, AFirstVersionStoreIsBroughtUpToDateAndANewerOneIsLeftAlone)
{
    TempDir dir;
    const std::string path = dir.file("v1.sqlite");
    Sql(path,
        "CREATE TABLE marks (id INTEGER PRIMARY KEY AUTOINCREMENT, kind TEXT NOT NULL, recording TEXT NOT NULL "
        "DEFAULT '', offset_ms INTEGER NOT NULL DEFAULT 0, source TEXT NOT NULL DEFAULT '', position INTEGER, note "
        "TEXT NOT NULL, examiner TEXT NOT NULL, created_ms INTEGER NOT NULL, changed_ms INTEGER NOT NULL);"
        "INSERT INTO marks (kind, recording, offset_ms, note, examiner, created_ms, changed_ms) "
        "VALUES ('recording', 'a.mp3', 2500, 'old', 'A', 7, 8); PRAGMA user_version = 1;");
    {
        auto store = NoteStore::Open(path);
        ASSERT_TRUE(store) << store.error().text;
        const auto all = store.value()->All().value();
        ASSERT_EQ(all.size(), 1u);
        // Made before contents were kept: never stale, whatever the file holds now.
        EXPECT_EQ(std::tuple(all[0].note, all[0].offsetMs, all[0].recordingSha256), std::tuple("old", 2500, ""));
        EXPECT_FALSE(IsStale(all[0], std::nullopt));
        EXPECT_TRUE(store.value()->Add(OnRecording("a.mp3", 1, "new", 9)));
    }
    // A newer program's store as it may be kept: in whatever journal mode that
    // program chose. Not even the mode is switched.
    Sql(path, "PRAGMA journal_mode = DELETE; PRAGMA user_version = 3");
    const std::string before = ReadAll(path);
    const auto newer = NoteStore::Open(path);
    ASSERT_FALSE(newer);
    EXPECT_EQ(std::tuple(newer.error().fault, newer.error().version), std::tuple(StoreFault::Newer, 3));
    EXPECT_NE(StoreMessage(newer.error(), path, true).text.find("newer version of Pellam (store version 3"),
        std::string::npos);
    EXPECT_TRUE(ReadAll(path) == before) << "the newer store was changed";
}

TEST(NoteStore, AChangeTheDatabaseRefusesLeavesTheStoreWritableForTheNext)
{
    TempDir dir;
    const std::string path = dir.file("n.sqlite");
    auto store = std::move(NoteStore::Open(path)).value();
    // A refusal SQLite does not undo by itself: the statement fails, its
    // transaction stays open unless the store ends it.
    Sql(path,
        "CREATE TRIGGER refuse BEFORE INSERT ON marks WHEN NEW.note = 'refused' "
        "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    EXPECT_FALSE(store->Add(OnRecording("a.mp3", 1, "refused", 1)));
    Sql(path, "DROP TRIGGER refuse"); // another copy can still write
    EXPECT_TRUE(store->Add(OnRecording("a.mp3", 2, "kept", 2)));
    EXPECT_EQ(Notes(*store), std::vector<std::string> {"kept"});
}

TEST(Mark, IsStaleOnlyWhenTheRecordingKnownAtTheMarkIsGoneOrDifferent)
{
    Mark m = OnRecording("a.mp3", 1, "n", 1);
    EXPECT_FALSE(IsStale(m, std::string(64, 'a')));
    EXPECT_TRUE(IsStale(m, std::string(64, 'b')));
    EXPECT_TRUE(IsStale(m, std::nullopt)) << "the recording is gone or cannot be read";
    m.on = MarkOn::Document;
    EXPECT_FALSE(IsStale(m, std::string(64, 'b')));
}

TEST(Mark, TimesAreWholeSecondsTowardThePast)
{
    const std::string tz = std::getenv("TZ") ? std::getenv("TZ") : "";
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    EXPECT_EQ(LocalIsoText(999), "1970-01-01T00:00:00");
    EXPECT_EQ(LocalIsoText(-1), "1969-12-31T23:59:59");
    EXPECT_EQ(LocalIsoText(-1000), "1969-12-31T23:59:59");
    EXPECT_EQ(LocalIsoText(-1001), "1969-12-31T23:59:58");
    EXPECT_EQ(LocalIsoText(1'796'601'600'000), "2026-12-07T00:00:00");
    if (tz.empty())
        ::unsetenv("TZ");
    else
        ::setenv("TZ", tz.c_str(), 1);
    ::tzset();
}

TEST(NoteStore, ADamagedStoreOrAnotherDatabaseIsRefusedAndLeftAsItIs)
{
    TempDir dir;
    const std::string junk = dir.write("junk.sqlite", std::string(3000, 'x'));
    const std::string other = dir.file("other.sqlite");
    Sql(other, "CREATE TABLE t (x)");
    const std::string cut = dir.file("cut.sqlite");
    {
        auto store = std::move(NoteStore::Open(cut)).value();
        for (int i = 0; i < 300; ++i)
            store->Add(OnRecording("a.mp3", i, std::string(200, 'n'), i));
    }
    // Pages of marks overwritten in the middle of the file.
    std::string bytes = ReadAll(cut);
    ASSERT_GT(bytes.size(), 40000u);
    bytes.replace(20000, 8000, std::string(8000, '\x5A'));
    dir.write("cut.sqlite", bytes);
    for (const std::string& path : {junk, other, cut}) {
        const std::string before = ReadAll(path);
        const auto store = NoteStore::Open(path);
        ASSERT_FALSE(store) << path;
        EXPECT_EQ(store.error().fault, StoreFault::Damaged) << path << ": " << store.error().text;
        EXPECT_TRUE(ReadAll(path) == before) << path << " was changed";
    }
    const Message box = StoreMessage(NoteStore::Open(junk).error(), junk, true);
    EXPECT_EQ(box.text,
        "This incident's notes store is damaged and cannot be read. The file is left as it is. The review goes on "
        "without notes.");
    EXPECT_TRUE(box.detail.starts_with(junk + ": ")) << box.detail;
}

TEST(NoteStore, AReadOnlyFolderKeepsItsMarksUntilItCanBeWrittenAgain)
{
    TempDir dir;
    const std::string folder = dir.file("own");
    std::filesystem::create_directory(folder);
    // root writes through permissions: it gets a read-only mount instead.
    const bool mounted = MountPrivateTmpfs(folder, 1024);
    if (!mounted && ::geteuid() == 0)
        GTEST_SKIP() << "root without the right to mount a tmpfs cannot make a folder it cannot write";
    const std::string path = folder + "/n.sqlite";
    ASSERT_TRUE(NoteStore::Open(path).value()->Add(OnRecording("a.mp3", 1, "kept", 1)));
    const auto lock = [&](bool readOnly) {
        if (mounted)
            ASSERT_EQ(::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | (readOnly ? MS_RDONLY : 0), nullptr), 0);
        else
            ASSERT_EQ(::chmod(folder.c_str(), readOnly ? 0555 : 0755), 0);
    };
    lock(true);
    for (const std::string& p : {path, folder + "/new.sqlite"}) {
        const auto refused = NoteStore::Open(p);
        ASSERT_FALSE(refused) << p;
        EXPECT_EQ(refused.error().fault, StoreFault::ReadOnly) << p << ": " << refused.error().text;
    }
    lock(false);
    EXPECT_EQ(Notes(*NoteStore::Open(path).value()), std::vector<std::string> {"kept"});
    if (mounted)
        ::umount(folder.c_str());
}

TEST(NoteStore, AFullDiskRefusesTheNewMarkAndKeepsTheOthers)
{
    TempDir dir;
    const std::string folder = dir.file("own");
    std::filesystem::create_directory(folder);
    if (!MountPrivateTmpfs(folder, 512))
        GTEST_SKIP() << "a small disk to fill needs root (a tmpfs mount)";
    auto store = std::move(NoteStore::Open(folder + "/n.sqlite")).value();
    ASSERT_TRUE(store->Add(OnRecording("a.mp3", 1, "before", 1)));
    {
        std::ofstream filler(folder + "/filler", std::ios::binary);
        const std::string block(4096, 'f');
        while (filler.write(block.data(), block.size()))
            ;
    }
    std::optional<StoreError> refused;
    for (int i = 0; i < 200 && !refused; ++i)
        if (auto added = store->Add(OnRecording("a.mp3", i, std::string(4000, 'x'), 2)); !added)
            refused = added.error();
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->fault, StoreFault::Full) << refused->text;
    EXPECT_NE(StoreMessage(*refused, "n", false).text.find("is full. The change was not kept"), std::string::npos);
    EXPECT_EQ(store->All().value().front().note, "before");
    std::filesystem::remove(folder + "/filler");
    ASSERT_TRUE(store->Add(OnRecording("a.mp3", 1, "after", 3)));
    store.reset();
    const auto notes = Notes(*NoteStore::Open(folder + "/n.sqlite").value());
    EXPECT_EQ(std::tuple(notes.front(), notes.back()), std::tuple("before", "after"));
    ::umount(folder.c_str());
}

TEST(IncidentNotes, OneStorePerCaseAndEventFile)
{
    const std::string sha(64, '0');
    EXPECT_EQ(NotesFileName("4711", sha), "Notes-4711-" + sha + ".sqlite");
    EXPECT_EQ(NotesFileName("../4 7/\xC3\xA9", sha), "Notes-___4_7___-" + sha + ".sqlite");
}


// The report's section: marks in the order they were made whatever order they
// come in, a note's lines as its own paragraphs, a changed recording said so.
TEST(NotesReport, TheSectionListsTheMarksInTheOrderMadeAndSaysWhatChanged)
{
    Mark later = OnRecording("a.mp3", 134250, "second weapon\nsee the NOC log", 9'000'000);
    later.id = 1;
    Mark person;
    person.id = 2;
    person.on = MarkOn::Person;
    person.source = PersonSource(0, 2);
    person.note = "alibi";
    person.examiner = "Lt. Omar Reyes";
    person.createdMs = 1'000'000;
    person.changedMs = 2'000'000;
    const RoleTable roles;
    std::string text;
    for (const NoteLine& line : ExaminersNotesLines({later, person}, {true, false}, roles))
        text += line.text + "\n";
    const auto at = [&](const std::string& part) { return text.find(part); };
    EXPECT_LT(at("Record sheet: Subject 2\n" + LocalIsoText(1'000'000) + ", Lt. Omar Reyes (changed "),
        at("a.mp3 at 2:14.250\n"))
        << text;
    EXPECT_NE(at("second weapon\nsee the NOC log\nThe recording's content has changed since this mark was made.\n"),
        std::string::npos)
        << text;
    EXPECT_EQ(ExaminersNotesLines({}, {}, roles).front().text, "The examiner made no marks in this incident.");
}

} // namespace pellam::test
