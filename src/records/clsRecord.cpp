#include "records/clsRecord.h"

#include "workspace/Cp1252.h"

#include <cerrno>
#include <cstring>
#include <limits>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pellam {
namespace {

constexpr std::int32_t kProbeSlotLength = 128; // slot 1 is first read with this length
constexpr std::int32_t kDefaultSlotLength = 1050;
constexpr std::int32_t kMinimumSlotLength = 150;
constexpr int kHeaderSlots = 11;
constexpr int kWrittenRoles = 8; // roles 0..7 hold persons; role 8 only the trailer place
constexpr int kMaxPersons = 100;

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    bool Close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool ReadAt(int fd, std::int64_t offset, char* out, std::size_t n)
{
    std::size_t done = 0;
    while (done < n) {
        const ssize_t got = ::pread(fd, out + done, n - done, static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        done += static_cast<std::size_t>(got);
    }
    return true;
}

bool WriteAll(int fd, const char* data, std::size_t n)
{
    std::size_t done = 0;
    while (done < n) {
        const ssize_t put = ::write(fd, data + done, n - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        done += static_cast<std::size_t>(put);
    }
    return true;
}

// The records file opened for reading slot by slot.
class SlotReader {
public:
    explicit SlotReader(const std::string& path) : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC))
    {
        struct stat st {};
        m_ok = m_fd.get() >= 0 && ::fstat(m_fd.get(), &st) == 0 && S_ISREG(st.st_mode);
        m_size = m_ok ? st.st_size : 0;
    }
    bool ok() const { return m_ok; }

    // Reads slot n (from 1) of a file with slot length L. A slot must hold its
    // length word and all its text bytes (the padding may be cut off); a slot
    // starting at or after the end reads as "" only when `emptyPastEnd`.
    bool Read(std::int64_t n, std::int32_t L, bool emptyPastEnd, std::string& text) const
    {
        text.clear();
        const std::int64_t offset = (n - 1) * L;
        if (offset >= m_size && emptyPastEnd)
            return true;
        unsigned char word[2];
        if (offset + 2 > m_size || !ReadAt(m_fd.get(), offset, reinterpret_cast<char*>(word), 2))
            return false;
        const std::int64_t m = word[0] | (word[1] << 8);
        if (m > L - 2 || offset + 2 + m > m_size)
            return false;
        std::string bytes(static_cast<std::size_t>(m), '\0');
        if (!ReadAt(m_fd.get(), offset + 2, bytes.data(), bytes.size()))
            return false;
        text = DecodeCp1252(bytes);
        return true;
    }

private:
    Fd m_fd;
    bool m_ok = false;
    std::int64_t m_size = 0;
};

// Decimal integer with optional blanks around it and an optional sign.
bool ParseInteger(std::string_view text, std::int64_t lo, std::int64_t hi, std::int64_t& value)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return false;
    std::int64_t v = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
        if (v > hi + 1)
            return false;
    }
    v = negative ? -v : v;
    if (v < lo || v > hi)
        return false;
    value = v;
    return true;
}

std::size_t CharLength(std::string_view s)
{
    const auto n = static_cast<std::size_t>(static_cast<std::size_t>(1) << 30);
    return std::min(Utf8Length(s), n);
}

} // namespace

std::optional<int> clsRecord::PersonCount(const RecordTable& table, int role)
{
    if (role < 0 || role >= kWrittenRoles)
        return std::nullopt;
    const std::string& text = table.Header(role + 1);
    std::int64_t v = 0;
    if (!text.empty()
        && !ParseInteger(text, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max(), v))
        return std::nullopt;
    if (v > kMaxPersons)
        return std::nullopt;
    return v < 0 ? 0 : static_cast<int>(v);
}

const std::string& clsRecord::TrailerText()
{
    static const std::string text = DecodeCp1252("\xC2\x02\x30\x25\x1B\x46\x26\x93\xA9\xA4\xDB");
    return text;
}

bool clsRecord::RECORDLOAD(RecordTable& table, RoleTable& roles) const
{
    table.Clear();

    std::int32_t L = kDefaultSlotLength;
    {
        SlotReader probe(m_path);
        std::string first;
        if (!probe.ok() || !probe.Read(1, kProbeSlotLength, false, first))
            return false;
        if (!first.empty()) {
            std::int64_t v = 0;
            if (!ParseInteger(first, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(), v))
                return false;
            L = v < 1 ? kDefaultSlotLength : v < kMinimumSlotLength ? kMinimumSlotLength : static_cast<std::int32_t>(v);
        }
    }

    SlotReader file(m_path);
    if (!file.ok())
        return false;
    std::int64_t slot = 1;
    for (int i = 0; i < kHeaderSlots; ++i)
        if (!file.Read(slot++, L, false, table.Header(i)))
            return false;
    for (int k = 0; k < kWrittenRoles; ++k) {
        const auto count = PersonCount(table, k);
        if (!count)
            return false;
        for (int r = 1; r <= *count; ++r)
            for (int page = 1; page <= 3; ++page)
                for (int field = 0; field < RecordTable::kFields; ++field)
                    if (!file.Read(slot++, L, false, table(k, r, page, field)))
                        return false;
    }
    if (!file.Read(slot, L, true, table.Trailer()))
        return false;

    roles.RoleName0 = table.Header(10);
    roles.RoleNames[0] = roles.RoleName0;
    return true;
}

std::int32_t clsRecord::SlotLength(const RecordTable& table)
{
    std::size_t longest = 100;
    for (int k = 0; k < kWrittenRoles; ++k)
        for (int r = 0; r < RecordTable::kPersons; ++r)
            for (int page = 0; page < RecordTable::kPages; ++page)
                for (int field = 0; field < RecordTable::kFields; ++field) {
                    const std::string& text = table(k, r, page, field);
                    if (!text.empty())
                        longest = std::max(longest, CharLength(text));
                }
    return static_cast<std::int32_t>(longest + 50);
}

std::optional<std::string> clsRecord::BackupPath() const
{
    // Step back four characters, not bytes, so a path ending in non-ASCII
    // letters keeps its remaining characters whole.
    std::size_t end = m_path.size();
    for (int chars = 0; chars < 4; ++chars) {
        if (end == 0)
            return std::nullopt;
        --end;
        while (end > 0 && (static_cast<unsigned char>(m_path[end]) & 0xC0) == 0x80)
            --end;
    }
    return m_path.substr(0, end) + ".bak";
}

bool clsRecord::RecordSave(RecordTable& table) const
{
    return Write(table, m_path, true);
}

bool clsRecord::RECORDSAVEBAK(RecordTable& table) const
{
    const auto path = BackupPath();
    return path && Write(table, *path, false);
}

bool clsRecord::Write(RecordTable& table, const std::string& path, bool withTrailer) const
{
    const std::int32_t L = SlotLength(table);
    table.Header(0) = std::to_string(L);
    if (L - 50 > 0xFFFF)
        return false; // a text longer than a length word can count
    if (withTrailer)
        table.Trailer() = TrailerText();

    int counts[kWrittenRoles] = {};
    for (int k = 0; k < kWrittenRoles; ++k) {
        const auto count = PersonCount(table, k);
        if (!count)
            return false;
        counts[k] = *count;
    }

    // An existing file is written over in place, not shortened.
    Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
    if (fd.get() < 0)
        return false;

    std::vector<char> slot(static_cast<std::size_t>(L));
    auto put = [&](const std::string& text) {
        const std::string bytes = EncodeCp1252(text);
        if (bytes.size() > static_cast<std::size_t>(L - 2) || bytes.size() > 0xFFFF)
            return false;
        std::fill(slot.begin(), slot.end(), '\0');
        slot[0] = static_cast<char>(bytes.size() & 0xFF);
        slot[1] = static_cast<char>(bytes.size() >> 8);
        std::memcpy(slot.data() + 2, bytes.data(), bytes.size());
        return WriteAll(fd.get(), slot.data(), slot.size());
    };

    for (int i = 0; i < kHeaderSlots; ++i)
        if (!put(table.Header(i)))
            return false;
    for (int k = 0; k < kWrittenRoles; ++k)
        for (int r = 1; r <= counts[k]; ++r)
            for (int page = 1; page <= 3; ++page)
                for (int field = 0; field < RecordTable::kFields; ++field)
                    if (!put(table(k, r, page, field)))
                        return false;
    if (withTrailer && !put(table.Trailer()))
        return false;
    return fd.Close();
}

bool clsRecord::StoreData(const std::string& iFile) const
{
    if (m_path.size() >= 2) {
        const auto slash = m_path.rfind('/', m_path.size() - 2);
        if (slash != std::string::npos)
            CheckDir(m_path.substr(0, slash + 1));
    }
    struct stat st {};
    if (::lstat(m_path.c_str(), &st) == 0 && ::unlink(m_path.c_str()) != 0)
        return false;
    Fd fd(::open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (fd.get() < 0)
        return false;
    const std::string bytes = EncodeCp1252(iFile);
    return WriteAll(fd.get(), bytes.data(), bytes.size()) && fd.Close();
}

void clsRecord::CheckDir(const std::string& path)
{
    if (path.empty() || path.front() != '/')
        return;
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        struct stat st {};
        if (::stat(prefix.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            continue;
        ::mkdir(prefix.c_str(), 0777); // a failure shows when the file is written
    }
}

} // namespace pellam
