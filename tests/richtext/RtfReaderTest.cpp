#include "richtext/RtfReader.h"
#include "richtext/CodePage.h"
#include "richtext/TextPositions.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace pellam {
namespace {

std::string Plain(std::string_view rtf)
{
    return ToUtf8(ReadRtf(rtf).PlainText());
}

// As a rich-edit control saves a short log: font and colour tables, a
// generator destination, formatting changes inside paragraphs.
constexpr std::string_view kRichEditLog
    = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Tahoma;}"
      "{\\f1\\fnil\\fcharset204 Arial Cyr;}}\r\n"
      "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue128;}\r\n"
      "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
      "\\pard\\qc\\b\\f0\\fs28 Incident 4711\\b0\\par\r\n"
      "\\pard\\cf1\\i Started\\i0\\cf0  at 10:00\\par\r\n"
      "\\ul Caf\\'e9\\ulnone  \\f1\\'c0\\f0\\par\r\n"
      "}\r\n\0";

// As a word processor saves one: stylesheet, info, list tables and an
// ignorable destination the reader does not know, a field with its result.
constexpr std::string_view kWordProcessorDoc
    = "{\\rtf1\\adeflang1025\\ansi\\ansicpg1252\\uc1\\adeff0\\deff0{\\fonttbl{\\f0\\froman\\fcharset0\\fprq2"
      "{\\*\\panose 02020603050405020304}Times New Roman{\\*\\falt Times};}}"
      "{\\stylesheet{\\ql \\fs24 \\snext0 Normal;}{\\*\\cs10 \\additive Default Paragraph Font;}}"
      "{\\info{\\title Log}{\\author Officer}{\\creatim\\yr2025\\mo3\\dy1}}"
      "{\\*\\rsidtbl \\rsid123}{\\*\\xmlnstbl {\\xmlns1 http://x}}{\\*\\unknowndest hidden text}"
      "\\pard\\plain \\ql\\fs24 Entry {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt shown}} end\\par "
      "{\\pict\\wmetafile8\\picw100\\pich100 0100090000035c0000000000}tail\\par}";

TEST(RtfReader, ReadsTheTablesAndFormatsOfRichEditAndWordProcessorFiles)
{
    const RichDocument doc = ReadRtf(kRichEditLog);
    EXPECT_EQ(ToUtf8(doc.PlainText()), "Incident 4711\r\nStarted at 10:00\r\nCaf\xC3\xA9 \xD0\x90\r\n");
    ASSERT_EQ(std::tuple(doc.fonts.size(), doc.colours.size(), doc.ParagraphCount()), std::tuple(2u, 3u, 4u));
    EXPECT_EQ(std::tuple(doc.font(0)->name, doc.font(1)->charset, doc.colours[0].automatic, doc.colours[2]),
        std::tuple("Tahoma", 204, true, Colour {0, 0, 128, false}));
    const CharFormat title = doc.Runs(0).at(0).format;
    EXPECT_EQ(
        std::tuple(doc.ParagraphAlignment(0), doc.ParagraphAlignment(1), title.bold, title.halfPoints, title.font),
        std::tuple(Alignment::Center, Alignment::Left, true, 28, 0));
    const auto started = doc.Runs(1);
    ASSERT_GE(started.size(), 2u);
    EXPECT_EQ(std::tuple(started[0].format.italic, started[0].format.colour, started[1].format.italic),
        std::tuple(true, 1, false));
    EXPECT_TRUE(doc.Runs(2).at(0).format.underline);

    const RichDocument word = ReadRtf(kWordProcessorDoc);
    EXPECT_EQ(std::tuple(ToUtf8(word.PlainText()), word.font(0)->name),
        std::tuple("Entry shown end\r\ntail\r\n", "Times New Roman"));
}

TEST(RtfReader, DecodesCodePagesAndUnicodeWithItsFallbackSkipped)
{
    // The document's code page, and a font's charset over it.
    EXPECT_EQ(Plain("{\\rtf1\\ansi\\ansicpg1252 \\'80\\'e9}"), "\xE2\x82\xAC\xC3\xA9");
    EXPECT_EQ(Plain("{\\rtf1\\ansi\\ansicpg1251 \\'c0}"), "\xD0\x90");
    EXPECT_EQ(Plain("{\\rtf1{\\fonttbl{\\f1\\fcharset238 EE;}}\\f1\\'b9}"), "\xC4\x85");
    // A double-byte page: the trail byte as \'hh or as a plain character.
    EXPECT_EQ(Plain("{\\rtf1{\\fonttbl{\\f1\\fcharset128 MS;}}\\f1\\'82\\'a0\\'82\\'a2}"), "\xE3\x81\x82\xE3\x81\x84");
    EXPECT_EQ(Plain("{\\rtf1{\\fonttbl{\\f1\\fcharset128 MS;}}\\f1\\'83A}"), "\xE3\x82\xA2");

    // \u and its fallback: \uc counts characters, \'hh and symbols count one
    // each; a group end stops the skip; a negative value is +65536, two make
    // a surrogate pair. Out-of-range values and a negative \uc do no harm.
    const std::pair<const char*, const char*> unicode[]
        = {{"{\\rtf1\\uc1\\u8364?x}", "\u20ACx"}, {"{\\rtf1\\uc2\\u8364\\'80\\'80x}", "\u20ACx"},
            {"{\\rtf1\\uc0\\u8364 x}", "\u20ACx"}, {"{\\rtf1{\\uc3\\u8364 ab}cd}", "\u20ACcd"},
            {"{\\rtf1\\u-3913?}", "\xEF\x82\xB7"}, {"{\\rtf1\\u-10179?\\u-8903?}", "\xF0\x9F\x94\xB9"},
            {"{\\rtf1\\u99999999999999?x}", "\uFFFDx"}, {"{\\rtf1\\uc-5\\u65 x}", "Ax"}};
    for (const auto& [rtf, plain] : unicode)
        EXPECT_EQ(Plain(rtf), plain) << rtf;
    // A plain text file reads as Windows-1252 lines.
    EXPECT_EQ(Plain("line one\r\nline \x80\nlast"), "line one\r\nline \xE2\x82\xAC\r\nlast");
}

TEST(CodePage, CharsetsAndTheLeadBytesOfDoubleBytePages)
{
    const std::pair<int, int> pages[] = {{0, 1252}, {1, 0}, {2, 0}, {77, 10000}, {128, 932}, {129, 949}, {134, 936},
        {136, 950}, {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251},
        {222, 874}, {238, 1250}, {255, 0}};
    for (const auto& [charset, page] : pages)
        EXPECT_EQ(CodePageOfCharset(charset), page) << charset;
    // Code page, the bytes that start a character pair, the bytes around them that do not.
    const std::tuple<int, std::vector<int>, std::vector<int>> leads[]
        = {{932, {0x81, 0x9F, 0xE0, 0xFC}, {0x80, 0xA0, 0xDF, 0xFD}}, {936, {0x81, 0xFE}, {0x80, 0xFF}},
            {949, {0x81, 0xFE}, {0x80, 0xFF}}, {950, {0x81, 0xFE}, {0x80, 0xFF}}, {1252, {}, {0x81, 0xFE}}};
    for (const auto& [page, lead, single] : leads) {
        for (const int b : lead)
            EXPECT_TRUE(IsLeadByte(page, static_cast<unsigned char>(b))) << page << " " << b;
        for (const int b : single)
            EXPECT_FALSE(IsLeadByte(page, static_cast<unsigned char>(b))) << page << " " << b;
    }
}

TEST(RtfReader, BreaksSymbolsAndPositionsCountLineBreaksAsTwoCharacters)
{
    const RichDocument doc
        = ReadRtf("{\\rtf1 a\\line b\\tab c\\page d\\par\ne\\cell f\\row g\\~h\\-i\\_j \\{\\}\\\\ k}");
    const std::u16string text = doc.PlainText();
    EXPECT_EQ(ToUtf8(text), "a\r\nb\tc\r\nd\r\ne\tf\r\ng\xC2\xA0h\xC2\xADi\xE2\x80\x91j {}\\ k");
    EXPECT_EQ(doc.PlainLength(), text.size());

    // Positions: 'b' is at 3 in the document and at 2 in a view that counts
    // one character per break; every character maps there and back.
    const TextPositions map(doc);
    EXPECT_EQ(std::tuple(map.ToView(3), map.ToView(2)), std::tuple(2, 1)); // 2: the line feed of the first break
    std::int64_t view = 0;
    for (std::size_t d = 0; d <= text.size(); ++d) {
        if (d > 0 && text[d - 1] == u'\r')
            continue; // on a line feed
        EXPECT_EQ(map.ToDocument(map.ToView(static_cast<std::int64_t>(d))), static_cast<std::int64_t>(d)) << d;
        EXPECT_EQ(map.ToView(static_cast<std::int64_t>(d)), view) << d;
        ++view;
    }
}

TEST(RichDocument, RunsAreHandedOutPerParagraphAndCutToARange)
{
    RichDocument doc;
    CharFormat bold;
    bold.bold = true;
    doc.Append(u"ab", {});
    doc.Append(u"cd", {}); // the same format joins the run
    doc.Append(u"EF", bold);
    doc.NewParagraph(Alignment::Center);
    doc.Append(u"gh", bold); // the format runs on over the break
    doc.Append(u"", {}, "photo"); // a picture standing for no text
    doc.NewParagraph(Alignment::Center);
    doc.SetAlignment(Alignment::Left);
    doc.Append(u"", {}, "logo"); // and one where its paragraph begins
    doc.Append(u"ij", bold);
    EXPECT_EQ(ToUtf8(doc.PlainText()), "abcdEF\r\ngh\r\nij");
    // The runs a paragraph hands out, a picture's name in brackets after its text.
    using V = std::vector<std::string>;
    const auto RunTexts = [](const RichDocument& d, std::size_t p, std::size_t from = 0, std::size_t to = SIZE_MAX) {
        V out;
        for (const RunView& run : d.Runs(p, from, to))
            out.push_back(ToUtf8(run.text) + (run.picture.empty() ? "" : "[" + run.picture + "]"));
        return out;
    };
    EXPECT_EQ(std::tuple(RunTexts(doc, 0), RunTexts(doc, 1), RunTexts(doc, 2)),
        std::tuple(V {"abcd", "EF"}, V {"gh", "[photo]"}, V {"[logo]", "ij"}));
    // A picture at the range's end shows only where the paragraph ends.
    EXPECT_EQ(
        std::tuple(RunTexts(doc, 0, 2, 5), RunTexts(doc, 1, 0, 9), RunTexts(doc, 2, 13), RunTexts(doc, 2, 12, 12)),
        std::tuple(V {"cd", "E"}, V {"g"}, V {"j"}, V {}));
    EXPECT_EQ(std::tuple(doc.ParagraphAlignment(0), doc.ParagraphAlignment(1), doc.ParagraphAlignment(2)),
        std::tuple(Alignment::Left, Alignment::Center, Alignment::Left));
    EXPECT_EQ(std::tuple(doc.ParagraphAt(6), doc.ParagraphAt(7), doc.ParagraphAt(8), doc.ParagraphEnd(1)),
        std::tuple(0u, 0u, 1u, 10u));
}

// A log of nothing but paragraph marks keeps a few bytes per paragraph
// (its break in the text and where it starts), not an object each.
TEST(RtfReader, ABareParagraphCostsAFewBytes)
{
    const auto resident = [] {
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages >> pages;
        return pages * ::sysconf(_SC_PAGESIZE);
    };
    constexpr long kParagraphs = 2000000;
    std::string rtf = "{\\rtf1 ";
    for (long n = 0; n < kParagraphs; ++n)
        rtf += "\\par\r\n";
    rtf += "}";
    const long before = resident();
    const RichDocument doc = ReadRtf(rtf);
    const long kept = resident() - before;
    EXPECT_EQ(doc.ParagraphCount(), static_cast<std::size_t>(kParagraphs + 1));
    EXPECT_LT(kept, 12 * kParagraphs);
}

TEST(RtfReader, SkipsBinaryDataPicturesAndUnknownWordsAndEndsDamagedInputCleanly)
{
    // \bin's bytes may hold braces and backslashes and are never read as RTF;
    // a \bin past the end ends the document; a blank ends a word. Damaged
    // input ends cleanly: truncated anywhere, unbalanced closing braces, not
    // hexadecimal, a NUL after the end.
    const std::pair<std::string, const char*> cases[] = {{"{\\rtf1 a{\\*\\blip\\bin4 }{\\\\}b}", "ab"},
        {"{\\rtf1 a{\\pict\\bin99999999 }", "a"}, {"{\\rtf1 a\\bin-5 b}", "ab"},
        {"{\\rtf1 a\\madeupword12 b\\ZZ c}", "abc"}, {"{\\rtf1 a{\\pict\\pngblip 89504e47}b}", "ab"},
        {"{\\rtf1 abc", "abc"}, {"{\\rtf1 abc\\", "abc"}, {"{\\rtf1 abc\\'4", "abc"}, {"{\\rtf1 a}}}} trailing", "a"},
        {"{\\rtf1 a\\'zzb}", "ab"}, {std::string("{\\rtf1 a}\r\n\0", 12), "a"}};
    for (const auto& [rtf, plain] : cases)
        EXPECT_EQ(Plain(rtf), plain) << rtf;
    EXPECT_EQ(ReadRtf("").ParagraphCount(), 1u);
    EXPECT_EQ(Plain("{\\rtf1\\ansi{\\fonttbl{\\f3   Lucida  Console ;}}{\\colortbl;}\\f3\\par}"), "\r\n"); // no text
    EXPECT_EQ(ReadRtf("{\\rtf1{\\fonttbl{\\f3   Lucida  Console ;}}}").font(3)->name, "Lucida  Console");

    // Deep nesting: an explicit stack, no recursion.
    std::string deep = "{\\rtf1 ";
    deep += std::string(100000, '{') + "x" + std::string(100000, '}') + "y}";
    EXPECT_EQ(Plain(deep), "xy");
}

// Files, among them a plain-text log saved as rich text by a real word
// processor (tests/data/richtext/make-wordprocessor-log.sh made it).
TEST(RtfReader, LoadsFilesAndRefusesWhatIsNoFile)
{
    const auto saved = LoadRichTextFile(PELLAM_OWN_TESTDATA "/richtext/wordprocessor-log.rtf");
    ASSERT_TRUE(saved.ok());
    EXPECT_EQ(ToUtf8(saved->PlainText()),
        "Incident Number: 4711 Started.\r\n"
        "12/5/2026 14:33:05 - (00:03) Notation By Sgt. Ilse Varga: Caf\xC3\xA9 on the corner, calm voice.\r\n"
        "12/5/2026 17:58:00 - Incident Number: 4711 Ended.\r\n");
    test::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("fifo.rtf").c_str(), 0600), 0);
    // A FIFO does not block.
    EXPECT_EQ(std::tuple(LoadRichTextFile(dir.file("missing.rtf")).error(), LoadRichTextFile(dir.str()).error(),
                  LoadRichTextFile(dir.file("fifo.rtf")).error()),
        std::tuple(RichTextFileError::NotFound, RichTextFileError::NotAFile, RichTextFileError::NotAFile));
}

} // namespace
} // namespace pellam
