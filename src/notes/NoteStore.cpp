#include "notes/NoteStore.h"

#include "base/SystemError.h"

#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <utility>

namespace pellam {
namespace {

// How long a write waits for another copy of the program to finish its own.
constexpr int kBusyWaitMs = 5000;
// How often an open that met another copy's open is tried again.
constexpr int kOpenAttempts = 20;

// The first schema: marks without the recording's content.
constexpr const char* kSchemaVersion1 = R"(
CREATE TABLE marks (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  kind TEXT NOT NULL,
  recording TEXT NOT NULL DEFAULT '',
  offset_ms INTEGER NOT NULL DEFAULT 0,
  source TEXT NOT NULL DEFAULT '',
  position INTEGER,
  note TEXT NOT NULL,
  examiner TEXT NOT NULL,
  created_ms INTEGER NOT NULL,
  changed_ms INTEGER NOT NULL);
)";

// Version 2: the recording's SHA-256 when the mark was made (so a changed
// file shows), and an index for the listing in time order.
constexpr const char* kMigrateTo2 = R"(
ALTER TABLE marks ADD COLUMN recording_sha256 TEXT NOT NULL DEFAULT '';
CREATE INDEX marks_by_time ON marks (created_ms, id);
)";

StoreError ErrorOf(sqlite3* db, int code)
{
    StoreError e;
    e.text = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    const int err = db ? sqlite3_system_errno(db) : 0;
    switch (code & 0xFF) {
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        e.fault = StoreFault::Damaged;
        break;
    case SQLITE_FULL:
        e.fault = StoreFault::Full;
        break;
    case SQLITE_READONLY:
        e.fault = StoreFault::ReadOnly;
        break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        e.fault = StoreFault::Busy;
        break;
    default:
        // A refused open or write says why only through the system's error.
        if (err == ENOSPC || err == EDQUOT)
            e.fault = StoreFault::Full;
        else if (err == EROFS || err == EACCES || err == EPERM)
            e.fault = StoreFault::ReadOnly;
        else
            e.fault = StoreFault::Other;
    }
    return e;
}

// One prepared statement, finalised when it goes.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) : m_db(db) { m_rc = sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr); }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return m_rc == SQLITE_OK || m_rc == SQLITE_ROW || m_rc == SQLITE_DONE; }
    StoreError error() const { return ErrorOf(m_db, m_rc); }

    void Bind(int i, std::int64_t v)
    {
        if (ok())
            m_rc = sqlite3_bind_int64(m_stmt, i, v);
    }
    void Bind(int i, const std::string& s)
    {
        if (ok())
            m_rc = sqlite3_bind_text(m_stmt, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
    }
    void Bind(int i, const std::optional<std::int64_t>& v)
    {
        if (v)
            Bind(i, *v);
        else if (ok())
            m_rc = sqlite3_bind_null(m_stmt, i);
    }
    // A row is there to read.
    bool Step()
    {
        if (!ok())
            return false;
        m_rc = sqlite3_step(m_stmt);
        return m_rc == SQLITE_ROW;
    }
    std::int64_t Int(int col) const { return sqlite3_column_int64(m_stmt, col); }
    bool IsNull(int col) const { return sqlite3_column_type(m_stmt, col) == SQLITE_NULL; }
    std::string Text(int col) const
    {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, col));
        return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(m_stmt, col))) : std::string();
    }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
    int m_rc;
};

std::optional<StoreError> Exec(sqlite3* db, const char* sql)
{
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return ErrorOf(db, rc);
    return std::nullopt;
}

// The first column of the first row ("" when there is none); the statement
// is finished before anything else runs.
Result<std::string, StoreError> TextOf(sqlite3* db, const char* sql)
{
    Statement s(db, sql);
    if (s.Step())
        return s.Text(0);
    if (!s.ok())
        return fail(s.error());
    return std::string();
}

Result<int, StoreError> VersionOf(sqlite3* db)
{
    const auto text = TextOf(db, "PRAGMA user_version");
    if (!text)
        return fail(text.error());
    return std::atoi(text.value().c_str());
}

StoreError NewerError(int version)
{
    return StoreError {StoreFault::Newer, "schema version " + std::to_string(version), version};
}

// Runs `work` in one write transaction: all of it is kept or none.
template<typename T, typename Work>
Result<T, StoreError> InTransaction(sqlite3* db, Work work)
{
    // IMMEDIATE takes the write lock at once, so two copies never both read
    // and then find they cannot write.
    if (auto e = Exec(db, "BEGIN IMMEDIATE"))
        return fail(*e);
    Result<T, StoreError> result = work();
    if (result) {
        if (auto e = Exec(db, "COMMIT")) {
            Exec(db, "ROLLBACK");
            return fail(*e);
        }
    } else {
        Exec(db, "ROLLBACK");
    }
    return result;
}

// Brings the schema from `version` up to kVersion; a new store gets every step.
Result<bool, StoreError> Migrate(sqlite3* db)
{
    const auto read = VersionOf(db);
    if (!read)
        return fail(read.error());
    const int version = read.value();
    if (version > NoteStore::kVersion)
        return fail(NewerError(version));
    if (version == 0) {
        if (auto e = Exec(db, kSchemaVersion1))
            return fail(*e);
    }
    if (version < 2)
        if (auto e = Exec(db, kMigrateTo2))
            return fail(*e);
    if (version < NoteStore::kVersion)
        if (auto e = Exec(db, ("PRAGMA user_version = " + std::to_string(NoteStore::kVersion)).c_str()))
            return fail(*e);
    return true;
}

constexpr const char* kColumns = "id, kind, recording, offset_ms, source, position, note, examiner, created_ms, "
                                 "changed_ms, recording_sha256";

void BindMark(Statement& s, const Mark& m, int first)
{
    s.Bind(first, std::string(MarkOnName(m.on)));
    s.Bind(first + 1, m.recording);
    s.Bind(first + 2, m.offsetMs);
    s.Bind(first + 3, m.source);
    s.Bind(first + 4, m.position);
    s.Bind(first + 5, m.note);
    s.Bind(first + 6, m.examiner);
    s.Bind(first + 7, m.createdMs);
    s.Bind(first + 8, m.changedMs);
    s.Bind(first + 9, m.recordingSha256);
}

} // namespace

Result<std::unique_ptr<NoteStore>, StoreError> NoteStore::Open(const std::string& path)
{
    // Two copies making the same new store at once: the switch to write-ahead
    // logging does not wait for the other copy as the writes do, so it is tried again.
    for (int attempt = 0;; ++attempt) {
        auto store = OpenOnce(path);
        if (store || store.error().fault != StoreFault::Busy || attempt == kOpenAttempts)
            return store;
        std::this_thread::sleep_for(std::chrono::milliseconds(10 + attempt * 5));
    }
}

Result<std::unique_ptr<NoteStore>, StoreError> NoteStore::OpenOnce(const std::string& path)
{
    sqlite3* db = nullptr;
    // A link in place of the store is not followed: it could lead anywhere,
    // the evidence folder included.
    const int rc = sqlite3_open_v2(
        path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW, nullptr);
    std::unique_ptr<NoteStore> store(new NoteStore(db, path));
    // A folder that cannot be written shows only as a file that cannot be
    // opened, or a store that cannot be made ready to write.
    const auto refused = [&](const StoreError& e) {
        const std::string folder = path.substr(0, path.find_last_of('/') + 1);
        if (e.fault == StoreFault::Other && ::access(folder.empty() ? "." : folder.c_str(), W_OK) != 0)
            return StoreError {StoreFault::ReadOnly, e.text + " (" + SystemError::Last().text + ")"};
        return e;
    };
    if (rc != SQLITE_OK)
        return fail(refused(ErrorOf(db, rc)));
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, kBusyWaitMs);

    // The version first: a newer store is left exactly as it is.
    const auto version = VersionOf(db);
    if (!version)
        return fail(refused(version.error()));
    if (version.value() > kVersion)
        return fail(NewerError(version.value()));
    // A database of something else is not taken over.
    const auto tables = TextOf(db, "SELECT count(*) FROM sqlite_master WHERE name <> 'marks' AND name NOT LIKE 'sqlite_%' "
                                   "AND name <> 'marks_by_time'");
    if (!tables)
        return fail(tables.error());
    if (tables.value() != "0")
        return fail(StoreError {StoreFault::Damaged, "the file is a database of another kind"});
    const auto check = TextOf(db, "PRAGMA quick_check");
    if (!check)
        return fail(check.error());
    if (check.value() != "ok")
        return fail(StoreError {StoreFault::Damaged, check.value()});

    auto mode = TextOf(db, "PRAGMA journal_mode");
    if (mode && mode.value() != "wal")
        mode = TextOf(db, "PRAGMA journal_mode = WAL");
    if (!mode)
        return fail(refused(mode.error()));
    if (mode.value() != "wal")
        return fail(StoreError {StoreFault::Other, "write-ahead logging is not available (" + mode.value() + ")"});
    // Every committed mark is on the disk before the examiner is told it was kept.
    if (auto e = Exec(db, "PRAGMA synchronous = FULL"))
        return fail(*e);
    // Another copy may be migrating at the same moment: the version is read
    // again inside the transaction.
    const auto migrated = InTransaction<bool>(db, [db] { return Migrate(db); });
    if (!migrated)
        return fail(migrated.error());
    return store;
}

NoteStore::~NoteStore()
{
    sqlite3_close_v2(m_db);
}

Result<std::vector<Mark>, StoreError> NoteStore::All() const
{
    Statement s(m_db, (std::string("SELECT ") + kColumns + " FROM marks ORDER BY created_ms, id").c_str());
    std::vector<Mark> marks;
    while (s.Step()) {
        Mark m;
        m.id = s.Int(0);
        m.on = MarkOnFromName(s.Text(1)).value_or(MarkOn::Document);
        m.recording = s.Text(2);
        m.offsetMs = s.Int(3);
        m.source = s.Text(4);
        if (!s.IsNull(5))
            m.position = s.Int(5);
        m.note = s.Text(6);
        m.examiner = s.Text(7);
        m.createdMs = s.Int(8);
        m.changedMs = s.Int(9);
        m.recordingSha256 = s.Text(10);
        marks.push_back(std::move(m));
    }
    if (!s.ok())
        return fail(s.error());
    return marks;
}

Result<std::int64_t, StoreError> NoteStore::Insert(const Mark& mark, bool withId)
{
    return InTransaction<std::int64_t>(m_db, [&]() -> Result<std::int64_t, StoreError> {
        Statement s(m_db,
            withId ? "INSERT OR IGNORE INTO marks (kind, recording, offset_ms, source, position, note, examiner, "
                     "created_ms, changed_ms, recording_sha256, id) VALUES (?,?,?,?,?,?,?,?,?,?,?)"
                   : "INSERT INTO marks (kind, recording, offset_ms, source, position, note, examiner, created_ms, "
                     "changed_ms, recording_sha256) VALUES (?,?,?,?,?,?,?,?,?,?)");
        BindMark(s, mark, 1);
        if (withId)
            s.Bind(11, mark.id);
        s.Step();
        if (!s.ok())
            return fail(s.error());
        if (withId && sqlite3_changes(m_db) == 0)
            return std::int64_t {0};
        return sqlite3_last_insert_rowid(m_db);
    });
}

Result<Mark, StoreError> NoteStore::Add(Mark mark)
{
    const auto id = Insert(mark, false);
    if (!id)
        return fail(id.error());
    mark.id = id.value();
    return mark;
}

Result<bool, StoreError> NoteStore::Restore(const Mark& mark)
{
    const auto id = Insert(mark, true);
    if (!id)
        return fail(id.error());
    return id.value() != 0;
}

Result<bool, StoreError> NoteStore::Edit(std::int64_t id, const std::string& note, std::int64_t changedMs)
{
    return InTransaction<bool>(m_db, [&]() -> Result<bool, StoreError> {
        Statement s(m_db, "UPDATE marks SET note = ?, changed_ms = ? WHERE id = ?");
        s.Bind(1, note);
        s.Bind(2, changedMs);
        s.Bind(3, id);
        s.Step();
        if (!s.ok())
            return fail(s.error());
        return sqlite3_changes(m_db) > 0;
    });
}

Result<bool, StoreError> NoteStore::SetRecordingSha256(std::int64_t id, const std::string& sha256)
{
    return InTransaction<bool>(m_db, [&]() -> Result<bool, StoreError> {
        Statement s(m_db, "UPDATE marks SET recording_sha256 = ? WHERE id = ? AND recording_sha256 = ''");
        s.Bind(1, sha256);
        s.Bind(2, id);
        s.Step();
        if (!s.ok())
            return fail(s.error());
        return sqlite3_changes(m_db) > 0;
    });
}

Result<bool, StoreError> NoteStore::Remove(std::int64_t id)
{
    return InTransaction<bool>(m_db, [&]() -> Result<bool, StoreError> {
        Statement s(m_db, "DELETE FROM marks WHERE id = ?");
        s.Bind(1, id);
        s.Step();
        if (!s.ok())
            return fail(s.error());
        return sqlite3_changes(m_db) > 0;
    });
}

} // namespace pellam
