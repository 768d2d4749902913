#include "workbench/DatedEntries.h"

#include <gtest/gtest.h>

namespace pellam {
namespace {

std::string Iso(std::optional<LocalSeconds> t)
{
    return t ? IsoText(*t) : "none";
}

TEST(LocalTime, ShortDatesTheSystemWrites)
{
    const std::pair<const char*, const char*> cases[] = {
        {"12/5/2026", "2026-12-05T00:00:00"},
        {"1/2/2026", "2026-01-02T00:00:00"},
        {"01/02/2026", "2026-01-02T00:00:00"},
        {"1/02/2026", "2026-01-02T00:00:00"},
        {"01/2/2026", "2026-01-02T00:00:00"},
        {"2/29/2024", "2024-02-29T00:00:00"},
        {"12/31/1969", "1969-12-31T00:00:00"},
        {"2/29/2026", "none"}, // not a leap year
        {"2/29/1900", "none"},
        {"2/29/2000", "2000-02-29T00:00:00"},
        {"13/1/2026", "none"},
        {"0/1/2026", "none"},
        {"1/0/2026", "none"},
        {"4/31/2026", "none"},
        {"12/5/26", "none"}, // two-digit years are another layout
        {"2026-12-05", "none"},
        {"12/5/20260", "none"},
        {"123/5/2026", "none"},
    };
    for (const auto& [text, iso] : cases)
        EXPECT_EQ(Iso(ReadShortDate(text)), iso) << text;
}

TEST(LocalTime, TimesOfDayWithAndWithoutSecondsAndTwelveHourClock)
{
    const std::tuple<std::u16string_view, int, std::size_t> cases[] = {
        {u"14:33:02 - x", 14 * 3600 + 33 * 60 + 2, 8},
        {u"9:05 CNT", 9 * 3600 + 5 * 60, 4},
        {u"0:00", 0, 4},
        {u"23:59:59", 86399, 8},
        {u"2:32:10 PM - x", 14 * 3600 + 32 * 60 + 10, 10},
        {u"12:00:00 am", 0, 11},
        {u"12:30 PM", 12 * 3600 + 30 * 60, 8},
        {u"1:00 Pmx", 3600, 4}, // a word beginning with "pm" is not the clock's
        {u"24:00", -1, 0},
        {u"12:60", -1, 0},
        {u"12:59:60", -1, 0},
        {u"13:00 PM", -1, 0},
        {u"0:15 AM", -1, 0},
        {u"12:5", -1, 0},
        {u"12:345", -1, 0},
        {u"123:45", -1, 0},
        {u"12:34:5", -1, 0},
    };
    for (const auto& [text, seconds, length] : cases) {
        std::size_t used = 0;
        const auto got = ReadTimeOfDay(text, used);
        EXPECT_EQ(got.value_or(-1), seconds) << std::string(text.begin(), text.end());
        EXPECT_EQ(used, length) << std::string(text.begin(), text.end());
    }
    EXPECT_EQ(Iso(EventFileMoment("12/5/2026", "1432")), "2026-12-05T14:32:00");
    EXPECT_EQ(Iso(EventFileMoment("12/5/2026", "14:32:10")), "2026-12-05T14:32:10");
    EXPECT_EQ(Iso(EventFileMoment("12/5/2026", "2360")), "none");
    EXPECT_EQ(Iso(EventFileMoment("12/5/2026", "2400")), "none");
    EXPECT_EQ(Iso(EventFileMoment("", "1432")), "none");
    EXPECT_EQ(Iso(EventFileMoment("12/5/2026", "")), "none");
}

TEST(DatedEntries, LinesWithoutADateBelongToTheEntryAbove)
{
    const std::u16string text = u"Main Log\r\n"
                                u"------\r\n"
                                u"12/5/2026 14:32:10 - Incident opened\r\n"
                                u"second line\r\n"
                                u"---\r\n"
                                u"12/05/2026 2:33 PM - (00:03) Notation\r\n"
                                u"12/5/2026 14:3 - not a time\r\n"
                                u"12/5/2026 14:35:00 -no blank\r\n"
                                u" 12/5/2026 14:36:00 - indented\r\n"
                                u"1/1/2027 0:00 - ";
    const auto entries = ReadDatedEntries(text);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].position, 18);
    EXPECT_EQ(entries[0].textStart, 39);
    EXPECT_EQ(entries[0].end, entries[1].position);
    EXPECT_EQ(IsoText(entries[0].time), "2026-12-05T14:32:10");
    EXPECT_EQ(EntryText(text, entries[0]), "Incident opened\nsecond line");
    EXPECT_EQ(IsoText(entries[1].time), "2026-12-05T14:33:00");
    EXPECT_EQ(EntryText(text, entries[1]),
        "(00:03) Notation\n12/5/2026 14:3 - not a time\n12/5/2026 14:35:00 -no blank\n 12/5/2026 14:36:00 - indented");
    EXPECT_EQ(IsoText(entries[2].time), "2027-01-01T00:00:00");
    EXPECT_EQ(entries[2].end, static_cast<std::int32_t>(text.size()));
    EXPECT_EQ(EntryText(text, entries[2]), "");

    EXPECT_EQ(EntryHolding(entries, 17), nullptr);
    EXPECT_EQ(EntryHolding(entries, 18), &entries[0]);
    EXPECT_EQ(EntryHolding(entries, entries[1].position - 1), &entries[0]);
    EXPECT_EQ(EntryHolding(entries, entries[1].position), &entries[1]);
    EXPECT_EQ(EntryHolding(entries, 1 << 30), &entries[2]);
}

TEST(DatedEntries, ConversationLinesRunPastMidnight)
{
    const std::u16string text = u"Text conversation with Dale\r\n"
                                u"23:59 CNT: still there?\r\n"
                                u"continued\r\n"
                                u"23:59 Dale: yes\r\n"
                                u"0:01 Dale: it is late\r\n"
                                u"14:36CNT: no blank\r\n"
                                u"0:02 CNT: go on";
    const LocalSeconds day = *ReadShortDate("12/31/2026");
    const auto lines = ReadConversationLines(text, day);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(IsoText(lines[0].time), "2026-12-31T23:59:00"); // the same minute is the same day
    EXPECT_EQ(EntryText(text, lines[0]), "CNT: still there?\ncontinued");
    EXPECT_EQ(IsoText(lines[1].time), "2026-12-31T23:59:00");
    EXPECT_EQ(IsoText(lines[2].time), "2027-01-01T00:01:00");
    EXPECT_EQ(EntryText(text, lines[2]), "Dale: it is late\n14:36CNT: no blank");
    EXPECT_EQ(IsoText(lines[3].time), "2027-01-01T00:02:00");
}

} // namespace
} // namespace pellam
