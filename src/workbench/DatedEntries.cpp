#include "workbench/DatedEntries.h"

#include "richtext/RichDocument.h"

#include <algorithm>

namespace pellam {
namespace {

// Start of every line: position 0 and every position after a line feed.
template<typename Visit>
void ForEachLine(std::u16string_view text, Visit visit)
{
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(u'\n', start);
        if (end == std::u16string_view::npos)
            end = text.size();
        visit(start, text.substr(start, end - start));
        start = end + 1;
    }
}

void CloseEntries(std::vector<DatedEntry>& entries, std::size_t size)
{
    for (std::size_t i = 0; i < entries.size(); ++i)
        entries[i].end = i + 1 < entries.size() ? entries[i + 1].position : static_cast<std::int32_t>(size);
}

bool IsSeparator(std::u16string_view line)
{
    return line.size() >= 3 && line.find_first_not_of(u'-') == std::u16string_view::npos;
}

} // namespace

std::vector<DatedEntry> ReadDatedEntries(std::u16string_view text)
{
    std::vector<DatedEntry> entries;
    ForEachLine(text, [&](std::size_t start, std::u16string_view line) {
        std::size_t used = 0;
        const auto date = ReadShortDate(line, used);
        if (!date || used + 1 >= line.size() || line[used] != u' ')
            return;
        std::size_t p = used + 1;
        const auto seconds = ReadTimeOfDay(line.substr(p), used);
        if (!seconds)
            return;
        p += used;
        if (line.substr(p, 3) != u" - ")
            return;
        entries.push_back(
            {static_cast<std::int32_t>(start), static_cast<std::int32_t>(start + p + 3), 0, *date + *seconds});
    });
    CloseEntries(entries, text.size());
    return entries;
}

std::vector<DatedEntry> ReadConversationLines(std::u16string_view text, LocalSeconds day)
{
    std::vector<DatedEntry> entries;
    LocalSeconds previous = 0;
    ForEachLine(text, [&](std::size_t start, std::u16string_view line) {
        std::size_t used = 0;
        const auto seconds = ReadTimeOfDay(line, used);
        if (!seconds || used >= line.size() || line[used] != u' ')
            return;
        LocalSeconds time = day + *seconds;
        while (!entries.empty() && time < previous)
            time += 86400;
        previous = time;
        entries.push_back({static_cast<std::int32_t>(start), static_cast<std::int32_t>(start + used + 1), 0, time});
    });
    CloseEntries(entries, text.size());
    return entries;
}

const DatedEntry* EntryHolding(const std::vector<DatedEntry>& entries, std::int64_t position)
{
    const auto after = std::upper_bound(
        entries.begin(), entries.end(), position, [](std::int64_t p, const DatedEntry& e) { return p < e.position; });
    return after == entries.begin() ? nullptr : &*(after - 1);
}

std::string EntryText(std::u16string_view text, const DatedEntry& entry)
{
    const auto from = std::min<std::size_t>(static_cast<std::size_t>(entry.textStart), text.size());
    const auto to = std::clamp<std::size_t>(static_cast<std::size_t>(entry.end), from, text.size());
    // Mostly an entry is one line: it is kept as it is, without a copy.
    std::u16string_view single;
    std::u16string kept;
    int lines = 0;
    ForEachLine(text.substr(from, to - from), [&](std::size_t, std::u16string_view line) {
        if (!line.empty() && line.back() == u'\r')
            line.remove_suffix(1);
        if (IsSeparator(line))
            return;
        if (++lines == 1) {
            single = line;
            return;
        }
        if (lines == 2)
            kept = single;
        if (!kept.empty())
            kept += u'\n';
        kept += line;
    });
    if (lines == 1) {
        while (!single.empty() && single.back() == u' ')
            single.remove_suffix(1);
        return ToUtf8(single);
    }
    while (!kept.empty() && (kept.back() == u'\n' || kept.back() == u' '))
        kept.pop_back();
    return ToUtf8(kept);
}

} // namespace pellam
