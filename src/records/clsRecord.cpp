#include "records/clsRecord.h"

#include "base/Cp1252.h"
#include "base/FileDescriptor.h"
#include "base/Text.h"

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
constexpr int kMaxPersons = 100;

// The records file opened for reading slot by slot.
class SlotReader {
public:
    explicit SlotReader(const std::string& path)
    {
        auto opened = FileDescriptor::OpenForReading(path);
        m_ok = opened.ok();
        if (m_ok) {
            m_fd = std::move(opened).value();
            m_size = m_fd.Size();
        }
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
        if (offset + 2 > m_size || !m_fd.ReadExactlyAt(offset, word, 2))
            return false;
        const std::int64_t m = word[0] | (word[1] << 8);
        if (m > L - 2 || offset + 2 + m > m_size)
            return false;
        std::string bytes(static_cast<std::size_t>(m), '\0');
        if (!m_fd.ReadExactlyAt(offset + 2, bytes.data(), bytes.size()))
            return false;
        text = DecodeCp1252(bytes);
        return true;
    }

private:
    FileDescriptor m_fd;
    bool m_ok = false;
    std::int64_t m_size = 0;
};

// Decimal integer with optional blanks around it and an optional sign.
bool ParseInteger(std::string_view text, std::int64_t lo, std::int64_t hi, std::int64_t& value)
{
    text = Trim(text);
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
    if (role < 0 || role >= clsRecord::kWrittenRoles)
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
            if (!ParseInteger(
                    first, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(), v))
                return false;
            L = v < 1 ? kDefaultSlotLength : v < kMinimumSlotLength ? kMinimumSlotLength : static_cast<std::int32_t>(v);
        }
    }

    SlotReader file(m_path);
    if (!file.ok())
        return false;
    std::int64_t slot = 1;
    for (int i = 0; i < clsRecord::kHeaderSlots; ++i)
        if (!file.Read(slot++, L, false, table.Header(i)))
            return false;
    for (int k = 0; k < clsRecord::kWrittenRoles; ++k) {
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
    for (int k = 0; k < clsRecord::kWrittenRoles; ++k)
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

} // namespace pellam
