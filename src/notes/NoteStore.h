#pragma once
// The examiner's marks of one incident in an SQLite database of the program's
// own folder. Write-ahead logging, every edit one transaction, and a wait on
// a store another running copy is writing: two copies on one incident see
// each other's marks when they read again and never corrupt the store. The
// schema carries its version (user_version); an older store is brought up to
// date in one transaction, a newer one is refused and left as it is.
#include "base/Result.h"
#include "notes/Mark.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;

namespace pellam {

enum class StoreFault : std::uint8_t {
    Newer, // written by a newer version of the program
    Damaged, // not a database, or a damaged one
    ReadOnly, // the folder or the file cannot be written
    Full, // no room left on the disk
    Busy, // another copy held the store longer than we wait
    Other,
};

struct StoreError {
    StoreFault fault = StoreFault::Other;
    std::string text; // what SQLite or the system said
    int version = 0; // the store's schema version, for Newer
};

class NoteStore {
public:
    // The schema this version of the program writes.
    static constexpr int kVersion = 2;

    // Opens the store at path, creating it when it is not there and bringing
    // an older schema up to date.
    static Result<std::unique_ptr<NoteStore>, StoreError> Open(const std::string& path);
    ~NoteStore();
    NoteStore(const NoteStore&) = delete;
    NoteStore& operator=(const NoteStore&) = delete;

    const std::string& Path() const { return m_path; }

    // Every mark, in the order they were made.
    Result<std::vector<Mark>, StoreError> All() const;
    // Stores a new mark and gives it with its id.
    Result<Mark, StoreError> Add(Mark mark);
    // A mark's note changed at changedMs; false when the mark is gone.
    Result<bool, StoreError> Edit(std::int64_t id, const std::string& note, std::int64_t changedMs);
    // False when the mark was gone already.
    Result<bool, StoreError> Remove(std::int64_t id);
    // The recording's content of a mark made before it was known; false when
    // the mark is gone or had one already.
    Result<bool, StoreError> SetRecordingSha256(std::int64_t id, const std::string& sha256);
    // A removed mark back under its own id (undo); false when that id is taken.
    Result<bool, StoreError> Restore(const Mark& mark);

private:
    NoteStore(sqlite3* db, std::string path) : m_db(db), m_path(std::move(path)) { }
    static Result<std::unique_ptr<NoteStore>, StoreError> OpenOnce(const std::string& path);
    Result<std::int64_t, StoreError> Insert(const Mark& mark, bool withId);

    sqlite3* m_db;
    std::string m_path;
};

} // namespace pellam
