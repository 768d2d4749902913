#pragma once
// The dated entries of a log: the incident system writes each entry as a line
// "date time - text" (the date in its short-date layout, the time with or
// without seconds); lines without a date belong to the entry above them.
// Conversation lines carry only a time of day ("14:36 CNT: ..."). Positions
// are document positions as the log viewer counts them (a line break is two
// characters).
#include "workbench/LocalTime.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pellam {

struct DatedEntry {
    std::int32_t position = 0; // where the entry's line (its date) begins
    std::int32_t textStart = 0; // the first character after "date time - "
    std::int32_t end = 0; // where the next entry begins, or the document ends
    LocalSeconds time = 0;
};

// Every line that begins with a date, a blank, a time and " - ", in document order.
std::vector<DatedEntry> ReadDatedEntries(std::u16string_view text);

// Every line that begins with a time of day and a blank, dated `day` (the
// conversation's incident date). A time earlier than the line before it is
// taken as the next day: a conversation runs on past midnight.
std::vector<DatedEntry> ReadConversationLines(std::u16string_view text, LocalSeconds day);

// The entry whose lines hold `position`, or nothing before the first entry.
const DatedEntry* EntryHolding(const std::vector<DatedEntry>& entries, std::int64_t position);

// An entry's text after its date and time, to the next entry: line breaks as
// "\n", lines of dashes alone (the log's separators) and trailing line
// breaks and blanks left out.
std::string EntryText(std::u16string_view text, const DatedEntry& entry);

} // namespace pellam
