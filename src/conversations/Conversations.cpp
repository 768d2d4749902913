#include "conversations/Conversations.h"

#include "base/AsciiCase.h"
#include "base/PathText.h"
#include "base/Text.h"
#include "richtext/RichDocument.h"
#include "workspace/DelimitedReader.h"
#include "workspace/SysConfig.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace pellam {
namespace {

// "TxT.dat" files shorter than this hold no conversation.
constexpr std::size_t kMinimumIndexBytes = 7;
// How far around the click the brackets of a name are looked for.
constexpr std::int32_t kBracketReach = 20;

std::vector<std::string_view> SplitFields(std::string_view record)
{
    std::vector<std::string_view> fields;
    for (;;) {
        const auto bar = record.find('|');
        fields.push_back(record.substr(0, bar));
        if (bar == std::string_view::npos)
            return fields;
        record.remove_prefix(bar + 1);
    }
}

std::optional<int> SlotNumber(std::string_view text)
{
    text = Trim(text);
    int n = -1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || n < 0
        || n >= ConversationIndex::kSlots)
        return std::nullopt;
    return n;
}

} // namespace

std::optional<bool> TextToBoolean(std::string_view text)
{
    text = Trim(text);
    const std::string lower = AsciiLower(std::string(text));
    if (lower == "true")
        return true;
    if (lower == "false")
        return false;
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double number = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
    // Only a written-out number counts: "inf" and "nan" are words like any other.
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || !std::isfinite(number))
        return std::nullopt;
    return number != 0;
}

Result<ConversationIndex, TxtDatError> ParseConversationIndex(std::string bytes)
{
    if (bytes.size() < kMinimumIndexBytes)
        return fail(TxtDatError::Unreadable);
    auto in = DelimitedReader::FromText(std::move(bytes));
    ConversationIndex index;
    for (int record = 0; record < ConversationIndex::kConversations; ++record) {
        auto value = in.ReadText();
        if (!value)
            return fail(TxtDatError::Truncated);
        const auto fields = SplitFields(value.value());
        if (fields.size() < 4)
            return fail(TxtDatError::BadRecord);
        const auto slot = SlotNumber(fields[0]);
        if (!slot)
            return fail(TxtDatError::BadRecord);
        const auto active = TextToBoolean(fields[1]);
        if (!active)
            return fail(TxtDatError::BadFlag);
        index.entries[static_cast<std::size_t>(*slot)]
            = ConversationSlot {*active, std::string(fields[2]), std::string(fields[3])};
    }
    return index;
}

Result<ConversationIndex, TxtDatError> ReadConversationIndex(const std::string& path)
{
    auto opened = FileDescriptor::OpenForReading(path);
    if (!opened)
        return fail(TxtDatError::Unreadable);
    // The index is four short records; a file of any size is read no further
    // than a generous bound.
    constexpr std::size_t kMaxBytes = 64 * 1024;
    std::string bytes(kMaxBytes, '\0');
    std::size_t got = 0;
    while (got < kMaxBytes) {
        const std::int64_t n = opened.value().ReadSome(bytes.data() + got, kMaxBytes - got);
        if (n < 0)
            return fail(TxtDatError::Unreadable);
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return ParseConversationIndex(std::move(bytes));
}

std::string ConversationFile(const FolderPath& evidenceFolder, const std::string& caseNumber, int slot)
{
    return evidenceFolder.Join(caseNumber + "_TextCon" + std::to_string(slot - 1) + ".doc");
}

std::string FormatPhone(std::string_view text)
{
    if (text.empty())
        return {};
    std::string digits;
    for (char c : text)
        if (c >= '0' && c <= '9')
            digits += c;
    const char* layout = digits.size() < 8 ? "@@@-@@@@" : digits.size() == 10 ? "(@@@) @@@-@@@@" : "@(@@@) @@@-@@@@";
    std::string out;
    std::size_t next = 0;
    for (const char* p = layout; *p; ++p) {
        if (*p != '@')
            out += *p;
        else
            out += next < digits.size() ? digits[next++] : ' ';
    }
    return out + digits.substr(next);
}

std::optional<BracketedName> FindBracketedName(std::u16string_view text, std::int32_t click)
{
    const auto at = [&](std::int64_t pos) {
        return pos >= 0 && pos < static_cast<std::int64_t>(text.size()) ? text[static_cast<std::size_t>(pos)] : u'\0';
    };
    std::optional<std::int32_t> end;
    for (std::int32_t i = 0; i <= kBracketReach && !end; ++i)
        if (at(std::int64_t {click} + i) == u']')
            end = click + i;
    if (!end)
        return std::nullopt;
    std::optional<std::int32_t> start;
    for (std::int32_t i = 0; i <= kBracketReach && !start; ++i)
        if (at(std::int64_t {click} - i) == u'[')
            start = click - i + 1;
    if (!start || *start > *end)
        return std::nullopt;
    const auto name = text.substr(static_cast<std::size_t>(*start), static_cast<std::size_t>(*end - *start));
    // A name never spans a bracket or a line: such a pair belongs to two names.
    if (name.find_first_of(u"[]\r\n") != std::u16string_view::npos)
        return std::nullopt;
    return BracketedName {*start, *end, ToUtf8(name)};
}

bool CheckAttachmentName(std::string_view name)
{
    const auto dot = name.find('.');
    if (dot == std::string_view::npos)
        return false;
    std::string_view extension = name.substr(dot + 1);
    extension = extension.substr(0, extension.find('.'));
    if (extension.size() == 4 && extension.front() == '0')
        extension.remove_prefix(1);
    return FileCategory(std::string(extension)) != "Unknown";
}

} // namespace pellam
