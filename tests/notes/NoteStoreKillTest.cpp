// Two copies of the program write marks to one store and are killed at random
// moments, hundreds of times: the store stays whole and every mark whose
// change was reported kept is there as reported.
#include "notes/NoteStore.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cctype>
#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <signal.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace pellam::test {
namespace {

void Say(int fd, const std::string& line)
{
    // One write of a short line: it reaches the pipe whole or not at all.
    [[maybe_unused]] const auto n = ::write(fd, line.data(), line.size());
}

// Adds, edits and removes marks of its own, one change for each byte that
// arrives on `go` (so that two copies both get their turns), telling `fd`
// before each edit or removal ("e", "d") and after every commit ("A", "E", "D").
[[noreturn]] void Churn(const std::string& path, int go, int fd, unsigned seed)
{
    auto store = NoteStore::Open(path);
    if (!store) {
        std::fprintf(stderr, "open: %s\n", store.error().text.c_str());
        ::_exit(3);
    }
    std::mt19937 random(seed);
    std::vector<std::int64_t> mine;
    char token = 0;
    for (int step = 0; ::read(go, &token, 1) == 1; ++step) {
        const unsigned choice = random() % 4;
        const std::string note = std::to_string(seed) + "-" + std::to_string(step);
        if (mine.empty() || choice < 2) {
            Mark m;
            m.recording = "a.mp3";
            m.note = note;
            const auto added = store.value()->Add(m);
            if (!added) {
                std::fprintf(stderr, "add: %s\n", added.error().text.c_str());
                ::_exit(4);
            }
            mine.push_back(added.value().id);
            Say(fd, "A " + std::to_string(mine.back()) + " " + note + "\n");
        } else {
            const std::size_t at = random() % mine.size();
            const std::string id = std::to_string(mine[at]);
            if (choice == 2) {
                Say(fd, "e " + id + " " + note + "\n");
                if (auto r = store.value()->Edit(mine[at], note, step); !r) {
                    std::fprintf(stderr, "edit: %s\n", r.error().text.c_str());
                    ::_exit(4);
                }
                Say(fd, "E " + id + "\n");
            } else {
                Say(fd, "d " + id + "\n");
                if (auto r = store.value()->Remove(mine[at]); !r) {
                    std::fprintf(stderr, "remove: %s\n", r.error().text.c_str());
                    ::_exit(4);
                }
                Say(fd, "D " + id + "\n");
                mine.erase(mine.begin() + static_cast<std::ptrdiff_t>(at));
            }
        }
    }
    ::_exit(5);
}

struct Child {
    pid_t pid = -1;
    int go = -1;
    int fd = -1;
    std::string heard;

    // Changes reported kept: whole lines that begin with a capital.
    std::size_t Commits() const
    {
        std::size_t n = 0;
        for (std::size_t at = 0, end; (end = heard.find('\n', at)) != std::string::npos; at = end + 1)
            n += std::isupper(static_cast<unsigned char>(heard[at])) ? 1 : 0;
        return n;
    }
};

// What the children reported: each kept mark's note, and the changes begun
// but not reported kept, which may or may not have happened.
struct Expected {
    std::map<std::int64_t, std::string> notes;
    std::map<std::int64_t, std::string> pendingEdits;
    std::set<std::int64_t> pendingRemovals;

    void Hear(const std::string& text)
    {
        std::istringstream lines(text);
        std::string line;
        while (std::getline(lines, line)) {
            if (lines.eof())
                break; // the last line was cut by the kill
            std::istringstream words(line);
            char what = 0;
            std::int64_t id = 0;
            std::string note;
            words >> what >> id >> note;
            if (what == 'A')
                notes[id] = note;
            else if (what == 'e')
                pendingEdits[id] = note;
            else if (what == 'E')
                notes[id] = pendingEdits[id], pendingEdits.erase(id);
            else if (what == 'd')
                pendingRemovals.insert(id);
            else if (what == 'D')
                notes.erase(id), pendingRemovals.erase(id);
        }
    }
};

std::string IntegrityCheck(const std::string& path)
{
    sqlite3* db = nullptr;
    std::string answer = "cannot open";
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &s, nullptr);
        answer = sqlite3_step(s) == SQLITE_ROW ? reinterpret_cast<const char*>(sqlite3_column_text(s, 0)) : "no row";
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
    return answer;
}

} // namespace

TEST(NoteStoreKill, TwoCopiesKilledAtRandomMomentsLoseNoReportedMarkAndNeverCorruptTheStore)
{
    TempDir dir;
    const std::string path = dir.file("n.sqlite");
    std::mt19937 random(20261205);
    Expected expected;
    constexpr int kRounds = 200;
    for (int round = 0; round < kRounds; ++round) {
        // Each copy gets a few changes to make; the kill comes after a random
        // number of them were reported (none: while the store opens), and a
        // random stretch of work after that.
        Child children[2];
        for (Child& c : children) {
            int fds[2], go[2];
            ASSERT_EQ(::pipe(fds), 0);
            ASSERT_EQ(::pipe(go), 0);
            const unsigned seed = static_cast<unsigned>(random());
            c.pid = ::fork();
            ASSERT_GE(c.pid, 0);
            if (c.pid == 0) {
                ::close(fds[0]);
                ::close(go[1]);
                Churn(path, go[0], fds[1], seed);
            }
            ::close(fds[1]);
            ::close(go[0]);
            c.fd = fds[0];
            c.go = go[1];
        }
        const std::size_t changes = 1 + random() % 10;
        const std::size_t heard = random() % changes;
        for (Child& c : children)
            ASSERT_EQ(::write(c.go, std::string(changes, 'g').data(), changes), static_cast<ssize_t>(changes));
        for (Child& c : children) {
            char buffer[4096];
            while (c.Commits() < heard) {
                const auto n = ::read(c.fd, buffer, sizeof buffer);
                if (n <= 0)
                    break;
                c.heard.append(buffer, static_cast<std::size_t>(n));
            }
        }
        for (volatile std::uint64_t spin = random() % 2000000; spin > 0;)
            spin = spin - 1;
        for (Child& c : children)
            ::kill(c.pid, SIGKILL);
        for (Child& c : children) {
            int status = 0;
            ::waitpid(c.pid, &status, 0);
            ASSERT_TRUE(WIFSIGNALED(status)) << "round " << round << ": the child stopped by itself with " << WEXITSTATUS(status);
            char buffer[4096];
            for (ssize_t n; (n = ::read(c.fd, buffer, sizeof buffer)) > 0;)
                c.heard.append(buffer, static_cast<std::size_t>(n));
            ::close(c.fd);
            ::close(c.go);
            expected.Hear(c.heard);
        }

        ASSERT_EQ(IntegrityCheck(path), "ok") << "round " << round;
        auto store = NoteStore::Open(path);
        ASSERT_TRUE(store) << store.error().text;
        std::map<std::int64_t, std::string> found;
        const std::vector<Mark> all = store.value()->All().value();
        for (const Mark& m : all)
            found[m.id] = m.note;
        for (const auto& [id, note] : expected.notes) {
            if (expected.pendingRemovals.contains(id) && !found.contains(id))
                continue;
            ASSERT_TRUE(found.contains(id)) << "round " << round << ": mark " << id << " was reported kept";
            const auto edit = expected.pendingEdits.find(id);
            EXPECT_TRUE(found[id] == note || (edit != expected.pendingEdits.end() && found[id] == edit->second))
                << "mark " << id << " reads " << found[id] << ", was reported " << note;
        }
        // What the store holds now is what the next round starts from.
        for (auto it = expected.notes.begin(); it != expected.notes.end();)
            it = found.contains(it->first) ? (it->second = found[it->first], std::next(it)) : expected.notes.erase(it);
        expected.pendingEdits.clear();
        expected.pendingRemovals.clear();
    }
    EXPECT_GT(expected.notes.size(), 50u) << "the children kept too little for the test to mean much";
}

} // namespace pellam::test
