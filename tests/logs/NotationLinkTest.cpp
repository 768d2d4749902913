#include "logs/NotationLink.h"
#include "richtext/RtfReader.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(note->NoteAudioMP3, "4711_Rec01_1433.mp3");
    EXPECT_EQ(note->NoteAudioTime, "12:30");
    EXPECT_EQ(note->NoteAudioStart, 750);
    EXPECT_EQ(NotePlaybackPositionMs(note->NoteAudioStart), 740000);

    // "Remote Notation By": the time is read before "Remote"; 7 s plays from the start.
    note = NotationAtCaret(text, CaretAt(text, u"Team"));
    ASSERT_TRUE(note);
    EXPECT_EQ(note->NoteAudioMP3, "4711_Sub01_1445.mp3");
    EXPECT_EQ(note->NoteAudioStart, 7);
    EXPECT_EQ(NotePlaybackPositionMs(note->NoteAudioStart), 0);

    // No elapsed time, a label line, the title block, a separator: nothing.
    EXPECT_FALSE(NotationAtCaret(text, CaretAt(text, u"Written")));
    EXPECT_FALSE(NotationAtCaret(text, CaretAt(text, u"Forced")));
    EXPECT_FALSE(NotationAtCaret(text, 5));
    EXPECT_FALSE(NotationAtCaret(text, CaretAt(text, kSeparator) + 20));
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
        EXPECT_EQ(note.has_value(), found) << ToUtf8(label);
        if (note) {
            EXPECT_EQ(note->NoteAudioStart, 65);
        }
    }
}

TEST(NotationLink, ScansStopAtTheirBoundsAndTheEdgesOfTheText)
{
    // A notation as the very first entry, with a label far before it.
    std::u16string text = u"Recording MP3 File: 4711_A.mp3\r\n" + std::u16string(6000, u'x') + u"\r\n" + kSeparator
        + u"1/1/2026 10:00:00 - (00:30) Notation By A. B: far";
    EXPECT_FALSE(NotationAtCaret(text, static_cast<std::int32_t>(text.size()) - 2)); // the label is out of reach
    // Caret beyond the end (as far as it goes: the scan starts at the end), at 0 and on an empty text.
    EXPECT_FALSE(NotationAtCaret(text, static_cast<std::int32_t>(text.size()) + 100));
    const auto end = static_cast<std::int32_t>(text.size());
    EXPECT_GT(FindLineStart(text, end), 0);
    EXPECT_EQ(FindLineStart(text, INT32_MAX), FindLineStart(text, end));
    EXPECT_FALSE(NotationAtCaret(u"", 20));
    EXPECT_EQ(FindHeaderEnd(u"short", 1), 0);
    EXPECT_FALSE(LandedNOTE(u"Notation By", 10).NoteAudioFound);
}

TEST(NotationLink, NotationsAtTheVeryStartAndEndAndALogWithoutAny)
{
    // Near the top the line start steps past the separator's line break; at
    // the end the notation is the last text, with no line break after it.
    const std::u16string top = u"Main Log\r\nIncident Number: 4711 Started.\r\n-----------\r\n"
                               u"Recording MP3 File: 4711_Top.mp3\r\n-----------\r\n"
                               u"1/1 10:00:09 - (00:09) Notation By A. B: first";
    auto note = NotationAtCaret(top, static_cast<std::int32_t>(top.size()) - 5);
    ASSERT_TRUE(note);
    EXPECT_EQ(note->NoteAudioMP3, "4711_Top.mp3");
    EXPECT_EQ(note->NoteAudioStart, 9);

    // No notation anywhere: nothing at any caret, and a click never selects
    // outside the text.
    const std::u16string plain = Log({u"1/1/2026 10:00:00 - Recording MP3 File: 4711_A.mp3",
        u"1/1/2026 10:01:00 - Incident opened by A. B: nothing noted"});
    for (std::int32_t cp = 0; cp <= static_cast<std::int32_t>(plain.size()) + 2; ++cp) {
        ASSERT_FALSE(NotationAtCaret(plain, cp)) << cp;
        MP3LT click;
        click.CarrotPOS = cp;
        if (LandedMP3(plain, "4711", click)) {
            ASSERT_EQ(click.Name, "4711_A.mp3");
        }
    }
}

// A 50 MB Main Log, generated: read in one pass, and its last notation, at the
// very end of the text, links like the first.
TEST(NotationLink, AFiftyMegabyteLogReadsAndItsLastNotationLinks)
{
    const std::string entry = "\\par -----------------------------\\par 12/5/2026 14:45:00 - Forced Sub Recording: "
                              "{\\cf1 4711_Sub01_1445.mp3}\\par -----------------------------\\par 12/5/2026 "
                              "14:45:32 - (12:30) Notation By Sgt. Ilse Varga: Caf\\'e9 {\\b asks} for water.";
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1252 Main Log";
    rtf.reserve(50'000'000 + entry.size() + 1);
    while (rtf.size() < 50'000'000)
        rtf += entry;
    const RichDocument doc = ReadRtf(rtf + "}");
    EXPECT_GT(doc.paragraphs.size(), 800'000u);
    const std::u16string text = doc.PlainText();
    ASSERT_TRUE(text.ends_with(u"Caf\u00e9 asks for water."));
    for (const auto caret : {text.find(u"water"), text.size() - 5}) {
        const auto note = NotationAtCaret(text, static_cast<std::int32_t>(caret));
        ASSERT_TRUE(note) << caret;
        EXPECT_EQ(note->NoteAudioMP3, "4711_Sub01_1445.mp3");
        EXPECT_EQ(note->NoteAudioStart, 750);
    }
}

TEST(NotationLink, TheSampleLogsNotationsLinkToItsRecordings)
{
    const auto doc = LoadRichTextFile(std::string(PELLAM_BINARY_DIR) + "/sample/4711/4711_MainLOG.doc");
    ASSERT_TRUE(doc.ok());
    const std::u16string text = doc->PlainText();
    auto note = NotationAtCaret(text, CaretAt(text, u"Subject confirms"));
    ASSERT_TRUE(note);
    EXPECT_EQ(note->NoteAudioMP3, "4711_Rec01_1433.mp3");
    EXPECT_EQ(note->NoteAudioStart, 10);
    note = NotationAtCaret(text, CaretAt(text, u"Command post approves"));
    ASSERT_TRUE(note);
    EXPECT_EQ(note->NoteAudioMP3, "4711_Sub01_1441.mp3");
    EXPECT_EQ(note->NoteAudioStart, 12);
}

TEST(NotationLink, ASingleClickSelectsTheWholeRecordingName)
{
    const std::u16string text = u"Label: 4711_Rec01_1433.mp3 and other words\r\n9999_x.mp3";
    MP3LT caret;
    caret.CarrotPOS = static_cast<std::int32_t>(text.find(u"Rec01"));
    ASSERT_TRUE(LandedMP3(text, "4711", caret));
    EXPECT_EQ(caret.Name, "4711_Rec01_1433.mp3");
    EXPECT_EQ(caret.Start, 7);
    EXPECT_EQ(caret.Stop, 26);

    caret.CarrotPOS = static_cast<std::int32_t>(text.find(u"other"));
    EXPECT_FALSE(LandedMP3(text, "4711", caret));
    caret.CarrotPOS = static_cast<std::int32_t>(text.find(u"9999"));
    EXPECT_FALSE(LandedMP3(text, "4711", caret)); // another case's name, after a line break
    EXPECT_EQ(caret.Name, "9999_x.mp3");
}

} // namespace
} // namespace pellam
