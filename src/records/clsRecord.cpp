#include "records/clsRecord.h"

#include "base/Cp1252.h"
#include "base/FileDescriptor.h"
#include "base/Text.h"

#include <array>
#include <limits>
#include <string_view>
#include <vector>

namespace pellam {
namespace {

constexpr std::int32_t kProbeSlotLength = 128; // slot 1 is first read with this length
constexpr std::int32_t kDefaultSlotLength = 1050;
constexpr std::int32_t kMinimumSlotLength = 150;
constexpr int kMaxPersons = 100;

// The records file opened for reading slot by slot.
class SlotReader {
public:
    static Result<SlotReader, SystemError> Open(const std::string& path)
    {
        auto opened = FileDescriptor::OpenForReading(path);
        if (!opened)
            return fail(opened.error());
        return SlotReader(std::move(opened).value());
    }

    // Reads slot n (from 1) of a file with slot length L. A slot the file
    // does not reach reads as "", as does a length word cut in half; a text
    // cut by the end of the file keeps the bytes that are there. The padding
    // may be missing. `whole` tells whether the file held the whole text.
    // With `text` false only the length word is read and checked, and the
    // text is given as "".
    Result<std::string, SystemError> Read(std::int64_t n, std::int32_t L, bool& whole, bool text = true) const
    {
        const std::int64_t offset = (n - 1) * L;
        whole = offset + 2 <= m_size;
        if (!whole)
            return std::string();
        unsigned char word[2];
        if (auto read = ReadAt(offset, word, 2); !read)
            return fail(read.error());
        const std::int64_t m = word[0] | (word[1] << 8);
        if (m > L - 2)
            return fail(SystemError::Content(
                "slot " + std::to_string(n) + " claims " + std::to_string(m) + " bytes, more than a slot holds"));
        whole = offset + 2 + m <= m_size;
        if (!text)
            return std::string();
        std::string bytes(static_cast<std::size_t>(std::min(m, m_size - offset - 2)), '\0');
        if (auto read = ReadAt(offset + 2, bytes.data(), bytes.size()); !read)
            return fail(read.error());
        return DecodeCp1252(bytes);
    }

private:
    explicit SlotReader(FileDescriptor fd) : m_fd(std::move(fd)), m_size(m_fd.Size()) { }

    // Reads n bytes the file was seen to hold; a short read means it shrank.
    Result<bool, SystemError> ReadAt(std::int64_t offset, void* out, std::size_t n) const
    {
        const std::int64_t got = m_fd.ReadAt(offset, out, n);
        if (got < 0) {
            return fail(SystemError::Last());
        }
        if (got < static_cast<std::int64_t>(n))
            return fail(SystemError::Content("the file shrank while it was read"));
        return true;
    }

    FileDescriptor m_fd;
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
    return PersonCount(table.Header(role + 1));
}

std::optional<int> clsRecord::PersonCount(std::string_view text)
{
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

Result<RecordLoad, SystemError> clsRecord::RECORDLOAD(RecordTable& table, RoleTable& roles) const
{
    table.Clear();
    auto load = ReadSlots([&](int role, int person, int page, int field, std::string&& text) {
        table(role, person, page, field) = std::move(text);
    });
    if (load) {
        roles.RoleName0 = table.Header(10);
        roles.RoleNames[0] = roles.RoleName0;
    }
    return load;
}

Result<RecordLoad, SystemError> clsRecord::RECORDHEADER(std::array<std::string, 11>& header, RoleTable& roles) const
{
    for (auto& text : header)
        text.clear();
    auto load = ReadSlots(
        [&](int role, int person, int page, int field, std::string&& text) {
            if (role == 0 && person == 0 && page == 0)
                header[static_cast<std::size_t>(field)] = std::move(text);
        },
        false);
    if (load) {
        roles.RoleName0 = header[10];
        roles.RoleNames[0] = roles.RoleName0;
    }
    return load;
}

Result<RecordLoad, SystemError> clsRecord::ReadSlots(const RecordTextSink& sink, bool personTexts) const
{
    auto opened = SlotReader::Open(m_path);
    if (!opened)
        return fail(opened.error());
    const SlotReader& file = opened.value();

    // Slot 1 holds the slot length; it is read as if slots were 128 bytes long.
    std::int32_t L = kDefaultSlotLength;
    {
        bool whole = true;
        auto first = file.Read(1, kProbeSlotLength, whole);
        if (!first)
            return fail(first.error());
        if (!first.value().empty()) {
            std::int64_t v = 0;
            if (!ParseInteger(first.value(), std::numeric_limits<std::int32_t>::min(),
                    std::numeric_limits<std::int32_t>::max(), v))
                return fail(SystemError::Content("the slot length is not a number"));
            L = v < 1 ? kDefaultSlotLength : v < kMinimumSlotLength ? kMinimumSlotLength : static_cast<std::int32_t>(v);
        }
    }

    // Each text goes to the sink as soon as it is read, so a failure leaves
    // everything before it in place. A file cut short reads on as empty
    // texts; the first slot it does not hold whole is noted.
    RecordLoad load;
    std::int64_t slot = 1;
    auto next = [&](bool text) -> Result<std::string, SystemError> {
        bool whole = true;
        auto read = file.Read(slot, L, whole, text);
        if (read && !whole && load.cutAtSlot == 0)
            load.cutAtSlot = slot;
        ++slot;
        return read;
    };
    std::array<std::string, kHeaderSlots> header;
    for (int i = 0; i < clsRecord::kHeaderSlots; ++i) {
        auto text = next(true);
        if (!text)
            return fail(text.error());
        header[static_cast<std::size_t>(i)] = text.value();
        sink(0, 0, 0, i, std::move(text).value());
    }
    int& persons = load.persons;
    for (int k = 0; k < clsRecord::kWrittenRoles; ++k) {
        const auto count = PersonCount(header[static_cast<std::size_t>(k + 1)]);
        if (!count)
            return fail(
                SystemError::Content("the person count of role " + std::to_string(k) + " is not a number up to 100"));
        for (int r = 1; r <= *count; ++r, ++persons)
            for (int page = 1; page <= 3; ++page)
                for (int field = 0; field < RecordTable::kFields; ++field) {
                    auto text = next(personTexts);
                    if (!text)
                        return fail(text.error());
                    if (personTexts)
                        sink(k, r, page, field, std::move(text).value());
                }
    }
    // The trailer is not looked for: the backup file ends without one.
    load.slotCount = slot - 1;
    const std::int64_t cut = load.cutAtSlot;
    auto trailer = next(personTexts);
    if (!trailer)
        return fail(trailer.error());
    if (personTexts)
        sink(8, 100, 3, 10, std::move(trailer).value());
    load.cutAtSlot = cut;
    return load;
}

std::optional<std::string> RecordLoad::CutShortNote() const
{
    if (cutAtSlot == 0)
        return std::nullopt;
    return "The records file ends inside slot " + std::to_string(cutAtSlot) + " of " + std::to_string(slotCount)
        + ": the texts from there on read as empty.";
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
