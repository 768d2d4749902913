#include "logs/NotationLink.h"
#include "richtext/RtfReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <set>
#include <string>

namespace pellam {
namespace {

const std::u16string kSeparator = u"-----------------------------------------------------------------------\r\n";

// A Main Log as plain text: a title block, then entries between separators.
std::u16string Log(std::initializer_list<std::u16string> entries)
{
    std::u16string text = u"Cordane Incident Management - Main Log\r\nIncident Number: 4711 Started.\r\n";
    text += std::u16string(400, u'.') + u"\r\n"; // past the first entries' special case
    for (const auto& e : entries)
        text += kSeparator + e + u"\r\n";
    return text + kSeparator;
}

// Caret on the first character of a word of the entry that contains `marker`.
std::int32_t CaretAt(const std::u16string& text, std::u16string_view marker)
{
    const auto at = text.find(marker);
    EXPECT_NE(at, std::u16string::npos);
    return static_cast<std::int32_t>(at);
}

TEST(NotationLink, ANotationPlaysItsRecordingFromTenSecondsBefore)
{
    const std::u16string text = Log({
        u"12/5/2026 14:33:02 - Recording MP3 File: 4711_Rec01_1433.mp3",
        u"12/5/2026 14:45:32 - (12:30) Notation By Sgt. Ilse Varga: Subject asks for water.",
        u"12/5/2026 14:45:40 - Forced Sub Recording: 4711_Sub01_1445.mp3",
        u"12/5/2026 14:45:47 - (00:07) Remote Notation By Lt. Omar Reyes: Team in place.",
        u"12/5/2026 14:46:00 - Notation By Sgt. Ilse Varga: Written while nothing recorded.",
    });
    auto note = NotationAtCaret(text, CaretAt(text, u"water"));
    ASSERT_TRUE(note);
    EXPECT_EQ(std::tuple(note->NoteAudioMP3, note->NoteAudioTime, note->NoteAudioStart),
        std::tuple("4711_Rec01_1433.mp3", "12:30", 750));
    EXPECT_EQ(NotePlaybackPositionMs(note->NoteAudioStart), 740000);

    // "Remote Notation By": the time is read before "Remote"; 7 s plays from the start.
    note = NotationAtCaret(text, CaretAt(text, u"Team"));
    ASSERT_TRUE(note);
    EXPECT_EQ(std::tuple(note->NoteAudioMP3, note->NoteAudioStart, NotePlaybackPositionMs(note->NoteAudioStart)),
        std::tuple("4711_Sub01_1445.mp3", 7, 0));

    // No elapsed time, a label line, the title block, a separator: nothing.
    for (const std::int32_t caret :
        {CaretAt(text, u"Written"), CaretAt(text, u"Forced"), 5, CaretAt(text, kSeparator) + 20})
        EXPECT_FALSE(NotationAtCaret(text, caret)) << caret;
}

TEST(NotationLink, FileNamesMustBeShortAndEndInLowerCaseMp3)
{
    const std::u16string name30 = std::u16string(30, u'n');
    for (const auto& [label, found] : std::initializer_list<std::pair<std::u16string, bool>> {
             {u"Recording Covert MIC File: 4711_" + name30.substr(5) + u".mp3", true}, // 30 characters
             {u"Recording MP3 File: 4711_" + name30 + u".mp3", false}, // 35 characters
             {u"Recording MP3 File: 4711_Rec01.MP3", false},
             {u"Started Sub Recording File 4711_Sub02.mp3", true},
         }) {
        const std::u16string text = Log({label, u"1/1/2026 10:00:00 - (01:05) Notation By A. B: Said it."});
        const auto note = NotationAtCaret(text, CaretAt(text, u"Said"));
        EXPECT_EQ(note ? note->NoteAudioStart : -1, found ? 65 : -1) << ToUtf8(label);
    }
}

TEST(NotationLink, ScansStopAtTheirBoundsAndTheEdgesOfTheTextAndFindNothingWhereNothingIs)
{
    // A notation as the very first entry, with a label far before it.
    std::u16string text = u"Recording MP3 File: 4711_A.mp3\r\n" + std::u16string(6000, u'x') + u"\r\n" + kSeparator
        + u"1/1/2026 10:00:00 - (00:30) Notation By A. B: far";
    EXPECT_FALSE(NotationAtCaret(text, static_cast<std::int32_t>(text.size()) - 2)); // the label is out of reach
    // Caret beyond the end (however far: the scan starts at the end) and on an empty text.
    EXPECT_FALSE(NotationAtCaret(text, static_cast<std::int32_t>(text.size()) + 100));
    EXPECT_EQ(FindLineStart(text, INT32_MAX), FindLineStart(text, static_cast<std::int32_t>(text.size())));
    EXPECT_FALSE(NotationAtCaret(u"", 20));

    // A log without notations links nothing anywhere.
    text = Log({u"1/1/2026 10:00:00 - Recording MP3 File: 4711_A.mp3",
        u"1/1/2026 10:01:00 - Incident opened by A. B: nothing noted"});
    for (std::int32_t cp = 0; cp <= static_cast<std::int32_t>(text.size()) + 2; ++cp) {
        ASSERT_FALSE(NotationAtCaret(text, cp)) << cp;
        MP3LT click {cp, 0, 0, {}};
        ASSERT_TRUE(!LandedMP3(text, "4711", click) || click.Name == "4711_A.mp3") << cp;
    }
}

// A 50 MB Main Log, generated: read in one pass; its first notation, near the
// top (where the line start steps past the line break), and its last, at the
// very end of the text, link alike.
TEST(NotationLink, AFiftyMegabyteLogsFirstAndLastNotationsLink)
{
    const std::string entry = "\\par -----------------------------\\par 12/5/2026 14:45:00 - Forced Sub Recording: "
                              "{\\cf1 4711_Sub01_1445.mp3}\\par -----------------------------\\par 12/5/2026 "
                              "14:45:32 - (12:30) Notation By Sgt. Ilse Varga: Caf\\'e9 {\\b asks} for water.";
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1252 Main Log\\par Incident Number: 4711 Started.";
    rtf.reserve(50'000'000 + entry.size() + 1);
    while (rtf.size() < 50'000'000)
        rtf += entry;
    rtf += "\\par -----------------------------\\par 12/5/2026 23:59:59 - (59:59) Notation By Lt. Last: end}";
    const std::u16string text = ReadRtf(rtf).PlainText();
    for (const auto& [caret, start] : {std::pair {text.find(u"water"), 750}, {text.size() - 1, 3599}}) {
        const auto note = NotationAtCaret(text, static_cast<std::int32_t>(caret));
        ASSERT_TRUE(note) << caret;
        EXPECT_EQ(std::tuple(note->NoteAudioMP3, note->NoteAudioStart), std::tuple("4711_Sub01_1445.mp3", start));
    }
}

using Answer = std::optional<std::tuple<std::string, std::string, std::int32_t>>;

Answer Of(const std::optional<LandedNote>& note)
{
    return note ? Answer({note->NoteAudioMP3, note->NoteAudioTime, note->NoteAudioStart}) : std::nullopt;
}

// What NotationAtCaret answers at every caret from 0 to past the end, and
// what NotationsAtCarets answers for all of them at once.
std::pair<std::vector<Answer>, std::vector<Answer>> EveryCaret(std::u16string_view text)
{
    std::vector<std::int32_t> carets(text.size() + 3);
    std::iota(carets.begin(), carets.end(), 0);
    std::vector<Answer> one, all;
    for (const std::int32_t cp : carets)
        one.push_back(Of(NotationAtCaret(text, cp)));
    for (const auto& note : NotationsAtCarets(text, carets))
        all.push_back(Of(note));
    return {one, all};
}

TEST(NotationLink, ManyCaretsAtOnceAnswerAsOneAtATime)
{
    const auto sample = LoadRichTextFile(PELLAM_BINARY_DIR "/sample/4711/4711_MainLOG.doc");
    ASSERT_TRUE(sample);
    const auto [one, all] = EveryCaret(sample->PlainText());
    EXPECT_EQ(std::set(one.begin(), one.end()).size(), 10u); // its nine notations, and nothing
    EXPECT_EQ(one, all);

    // Notations at the top of the log, a header written again in other letter
    // case (its first occurrence plays) and quoted in an earlier entry, labels
    // out of reach, and no separator before an entry.
    const std::u16string header = u"1/1/2026 10:00:05 - (00:05) Notation By A. B: ";
    const std::u16string text = u"Log\r\n" + kSeparator + u"1/1/2026 10:00:00 - Recording MP3 File: 4711_A.mp3\r\n"
        + kSeparator + header + u"first\r\n" + kSeparator + u"1/1/2026 10:00:06 - quoting " + header.substr(0, 30)
        + u"\r\n" + kSeparator + u"1/1/2026 10:00:07 - Started Sub Recording File 4711_B.mp3\r\n" + kSeparator
        + u"1/1/2026 10:00:05 - (00:05) NOTATION BY a. b: again\r\n" + kSeparator
        + u"1/1/2026 10:00:09 - (00:09) Remote Notation By C. D: " + std::u16string(6000, u'x') + u"\r\n"
        + u"1/1/2026 10:00:10 - (00:10) Notation By C. D: unseparated\r\n" + kSeparator
        + u"1/1/2026 10:00:11 - (00:11) Notation By C. D: after the long line\r\n" + kSeparator;
    const auto [oneHere, allHere] = EveryCaret(text);
    EXPECT_EQ(oneHere, allHere);
    EXPECT_NE(std::count(oneHere.begin(), oneHere.end(), Answer({"4711_A.mp3", "00:05", 5})), 0);
    EXPECT_NE(std::count(oneHere.begin(), oneHere.end(), Answer({"4711_B.mp3", "00:09", 9})), 0);

    // A header naming its own recording, at the log's edges: as the title (position 0 or 5, never a
    // header's place) and after a separator ending at 10, short of where the line start is looked for.
    const std::u16string own
        = std::u16string(20, u'x') + u"Started Sub Recording File 4711_A.mp3xxxxxx - (00:05) Notation By A. B: ";
    const std::u16string far = u"\r\n" + std::u16string(300, u'.') + kSeparator + own + u"x";
    for (const auto& [edge, plays] :
        {std::pair {own + far, true}, {u"Log\r\n" + own + far, false}, {u"Log\r\n---\r\n" + own + u"x", false}}) {
        const auto [oneEdge, allEdge] = EveryCaret(edge);
        EXPECT_EQ(oneEdge, allEdge) << ToUtf8(edge);
        EXPECT_EQ(std::count(allEdge.begin(), allEdge.end(), Answer({"4711_A.mp3", "00:05", 5})) != 0, plays);
    }
}

TEST(NotationLink, ASingleClickSelectsTheWholeRecordingName)
{
    const std::u16string text = u"Label: 4711_Rec01_1433.mp3 and other words\r\n9999_x.mp3";
    MP3LT caret;
    caret.CarrotPOS = static_cast<std::int32_t>(text.find(u"Rec01"));
    ASSERT_TRUE(LandedMP3(text, "4711", caret));
    EXPECT_EQ(std::tuple(caret.Name, caret.Start, caret.Stop), std::tuple("4711_Rec01_1433.mp3", 7, 26));

    // Nothing is left of the name before; another case's name, after a line break, is not taken.
    for (const auto& [at, name] : {std::pair {u"other", ""}, {u"9999", "9999_x.mp3"}}) {
        caret.CarrotPOS = static_cast<std::int32_t>(text.find(at));
        EXPECT_EQ((std::tuple {LandedMP3(text, "4711", caret), caret.Name}), std::tuple(false, name));
    }
    caret.CarrotPOS = 2; // a name that begins the text
    EXPECT_TRUE(LandedMP3(u"4711_A.mp3 x", "4711", caret));
    EXPECT_EQ(std::tuple(caret.Name, caret.Start), std::tuple("4711_A.mp3", 0));
}

} // namespace
} // namespace pellam
