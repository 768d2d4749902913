#include "workbench/Timeline.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace pellam {
namespace {

const std::u16string kSeparator = u"\r\n------------------------------------------------------------\r\n";

// A log (index 0..3), or a conversation when it is given a file name.
IncidentDocument Doc(int index, const std::u16string& text, const std::string& conversation = "")
{
    const bool log = conversation.empty();
    return {log ? DocumentKind::Log : DocumentKind::Conversation, log ? kLogSources[index] : conversation, "", index, 0,
        text, log ? ReadDatedEntries(text) : ReadConversationLines(text, *ReadShortDate("12/5/2026"))};
}

Mp3Record Listed(const std::string& name, const std::string& duration)
{
    return Mp3Record {"", name, duration, "", "", ""};
}

TimelineInput Input(std::vector<Mp3Record> rows, const std::string& evidence = "/nonexistent")
{
    TimelineInput input {{}, std::move(rows), FolderPath(evidence)};
    input.incident.StartDate = input.incident.EndDate = "12/5/2026";
    input.incident.StartTime = "1000";
    input.incident.EndTime = "12:00";
    return input;
}

// "lane time recording+offset/duration source row: text", the time without its date.
std::vector<std::string> Lines(const Timeline& timeline)
{
    std::vector<std::string> lines;
    for (const TimelineEvent& e : timeline.events) {
        std::string line = std::string(LaneName(e.lane)) + ' ' + (e.time ? IsoText(*e.time).substr(11) : "-");
        if (!e.recording.empty())
            line += ' ' + e.recording + (e.offset ? '+' + std::to_string(*e.offset) : "")
                + (e.duration ? '/' + std::to_string(*e.duration) : "") + " #" + std::to_string(e.recordingNumber);
        line += ' ' + e.source + (e.lane == TimelineLane::Recording ? " row" + std::to_string(e.row) : "");
        lines.push_back(line + ": " + e.text);
    }
    return lines;
}

TEST(Timeline, RecordingsStartAtTheirFirstAnnouncementElseTheirFileTimeAndStackWhenTheyOverlap)
{
    test::TempDir evidence;
    const std::string quiet = evidence.write("c.mp3", "x");
    std::tm local {};
    local.tm_year = 2026 - 1900, local.tm_mon = 11, local.tm_mday = 5, local.tm_hour = 11, local.tm_isdst = -1;
    const timespec written[2] = {{std::mktime(&local), 0}, {std::mktime(&local), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, quiet.c_str(), written, 0), 0);

    const std::u16string mainLog = u"Main Log" + kSeparator //
        + u"12/5/2026 10:00:00 - Recording MP3 File: a.mp3" + kSeparator
        + u"12/5/2026 10:00:30 - Forced Sub Recording: b.mp3  " + kSeparator
        + u"12/5/2026 10:00:40 - Recording Covert MIC File: unlisted.mp3" + kSeparator
        + u"12/5/2026 10:01:05 - Started Sub Recording File e.mp3" + kSeparator
        + u"12/5/2026 10:02:00 - Recording MP3 File: a.mp3" + kSeparator // announced again
        + u"12/5/2026 10:02:10 - Recording MP3 File:d.mp3" + kSeparator // no blank: announces nothing
        + u"12/5/2026 10:02:04 - Recording MP3 File: f.mp3" + kSeparator // backwards
        + u"12/5/2026 10:02:05 - Recording MP3 File: g.mp3" + kSeparator;
    IncidentTexts texts;
    texts.documents = {Doc(0, mainLog)};
    const Timeline timeline
        = BuildTimeline(Input({Listed("a.mp3", "01:05"), Listed("b.mp3", "123:45"), Listed("c.mp3", "00:10"),
                                  Listed("d.mp3", "??:??"), Listed("e.mp3", ""), Listed("../c.mp3", "00:01"),
                                  Listed("f.mp3", "00:05"), Listed("a.mp3", "00:01"), Listed("g.mp3", "00:01")},
                            evidence.str()),
            texts);
    EXPECT_EQ(Lines(timeline),
        (std::vector<std::string> {
            "recording 10:00:00 a.mp3/65 #1 MainLog row0: Recording MP3 File: a.mp3",
            "recording 10:00:00 a.mp3/1 #1 MainLog row1: Recording MP3 File: a.mp3", // listed twice
            "main 10:00:00 MainLog: Recording MP3 File: a.mp3",
            "recording 10:00:30 b.mp3/7425 #2 MainLog row1: Forced Sub Recording: b.mp3",
            "main 10:00:30 MainLog: Forced Sub Recording: b.mp3",
            "main 10:00:40 MainLog: Recording Covert MIC File: unlisted.mp3",
            // Starts as a.mp3 ends: its row.
            "recording 10:01:05 e.mp3 #5 MainLog row0: Started Sub Recording File e.mp3",
            "main 10:01:05 MainLog: Started Sub Recording File e.mp3",
            "main 10:02:00 MainLog: Recording MP3 File: a.mp3",
            // e.mp3, of unknown length, counts as running for a minute.
            "recording 10:02:04 f.mp3/5 #7 MainLog row2: Recording MP3 File: f.mp3",
            "main 10:02:04 MainLog: Recording MP3 File: f.mp3",
            "recording 10:02:05 g.mp3/1 #9 MainLog row0: Recording MP3 File: g.mp3", // as e.mp3's minute ends
            "main 10:02:05 MainLog: Recording MP3 File: g.mp3",
            "main 10:02:10 MainLog: Recording MP3 File:d.mp3",
            "recording 11:00:00 c.mp3/10 #3  row0: ",
            // Never announced and no file to date them by (or a name outside the folder).
            "recording - d.mp3 #4  row0: ",
            "recording - ../c.mp3/1 #6  row0: ",
        }));
    EXPECT_EQ(timeline.recordingRows, 3);
    EXPECT_EQ(timeline.events[0].position, static_cast<std::int32_t>(mainLog.find(u"12/5/2026 10:00:00")));
    EXPECT_FALSE(timeline.events[15].position);
}

TEST(Timeline, LogEntriesAndConversationLinesInTimeOrderWithNotationsLinked)
{
    const std::u16string mainLog = u"Main Log\r\n" + std::u16string(400, u'.') + kSeparator
        + u"12/5/2026 10:00:00 - Recording MP3 File: 4711_A.mp3" + kSeparator
        + u"12/5/2026 10:00:20 - (00:20) Notation By A. B: Door opens." + kSeparator
        + u"12/5/2026 10:00:25 - Forced Sub Recording: 4711_Gone.mp3" + kSeparator
        + u"12/5/2026 10:00:30 - (00:05) Remote Notation By C. D: Not listed." + kSeparator
        + u"12/5/2026 9:59 AM - Written late, dated early,\r\nover two lines." + kSeparator
        + u"12/6/2026 08:00:00 - After the end." + kSeparator;
    IncidentTexts texts;
    texts.documents = {
        Doc(0, mainLog),
        Doc(1, u"NOC log\r\n12/5/2026 10:00:20 - NOC: same second as the notation.\r\n5/12/2026 - not a time"),
        Doc(2, u"ADMIN log without any date\r\n2026-12-05 10:00 - another layout"),
        Doc(3, u"12/5/2026 10:00:00 - The NPP report has no lane."),
        Doc(1, u"Text with X\r\n10:00 CNT: hello\r\nno time, the line above's\r\n09:00 X: past midnight",
            "c_TextCon0.doc"),
    };
    const Timeline timeline = BuildTimeline(Input({Listed("4711_A.mp3", "01:00")}), texts);
    EXPECT_EQ(Lines(timeline),
        (std::vector<std::string> {
            "main 09:59:00 MainLog: Written late, dated early,\nover two lines.",
            "recording 10:00:00 4711_A.mp3/60 #1 MainLog row0: Recording MP3 File: 4711_A.mp3",
            "main 10:00:00 MainLog: Recording MP3 File: 4711_A.mp3",
            "text 10:00:00 c_TextCon0.doc: CNT: hello\nno time, the line above's",
            "main 10:00:20 4711_A.mp3+20 #1 MainLog: (00:20) Notation By A. B: Door opens.",
            "noc 10:00:20 NocLog: NOC: same second as the notation.\n5/12/2026 - not a time",
            "main 10:00:25 MainLog: Forced Sub Recording: 4711_Gone.mp3",
            "main 10:00:30 MainLog: (00:05) Remote Notation By C. D: Not listed.",
            "main 08:00:00 MainLog: After the end.",
            "text 09:00:00 c_TextCon0.doc: X: past midnight", // the next day
        }));
    EXPECT_EQ(IsoText(timeline.events[9].time.value()), "2026-12-06T09:00:00");
    // The span is the event file's, whatever lies outside it.
    EXPECT_EQ(timeline.Span(), std::pair(*EventFileMoment("12/5/2026", "1000"), *EventFileMoment("12/5/2026", "1200")));
}

TEST(Timeline, WithoutTheEventFilesTimesTheSpanRunsFromTheFirstToTheLastMoment)
{
    TimelineInput input = Input(
        {Listed("a.mp3", "02:00"), Listed("z.mp3", "00:01"), Listed("y.mp3", "1:05"), Listed("x.mp3", "00:60")});
    input.incident.StartTime = "0900";
    input.incident.EndDate = "someday";
    IncidentTexts texts;
    texts.documents = {Doc(0, u"12/5/2026 10:00:00 - Recording MP3 File: a.mp3\r\n12/5/2026 10:00:10 - x")};
    const auto at = [](const char* time) { return *EventFileMoment("12/5/2026", time); };
    EXPECT_EQ(BuildTimeline(input, texts).Span(), std::pair(at("0900"), at("1002"))); // to the recording's end
    input.incident.StartDate = "";
    EXPECT_EQ(BuildTimeline(input, texts).Span(), std::pair(at("1000"), at("1002")));
    // Without a Main Log nothing is announced, and nothing has a time; a length is two figures or more, a
    // colon and the seconds below 60.
    EXPECT_EQ(Lines(BuildTimeline(input, {})),
        (std::vector<std::string> {"recording - a.mp3/120 #1  row0: ", "recording - z.mp3/1 #2  row0: ",
            "recording - y.mp3 #3  row0: ", "recording - x.mp3 #4  row0: "}));
    EXPECT_FALSE(BuildTimeline(input, {}).Span());
    EXPECT_EQ(BuildTimeline(input, {}).recordingRows, 1); // an empty row is still drawn
}

} // namespace
} // namespace pellam
