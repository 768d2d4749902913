#include "workbench/IncidentSearch.h"
#include "logs/LogSearch.h"
#include "richtext/RichDocument.h"

#include <gtest/gtest.h>

#include <random>

namespace pellam {
namespace {

IncidentDocument Doc(DocumentKind kind, std::string source, std::u16string text)
{
    IncidentDocument doc;
    doc.kind = kind;
    doc.source = std::move(source);
    doc.text = std::move(text);
    doc.entries = ReadDatedEntries(doc.text);
    return doc;
}

IncidentSearch Over(std::vector<IncidentDocument> docs)
{
    auto texts = std::make_shared<IncidentTexts>();
    texts->documents = std::move(docs);
    return IncidentSearch(texts);
}

std::vector<std::int32_t> Positions(const SearchAnswer& answer)
{
    std::vector<std::int32_t> p;
    for (const SearchHit& h : answer.hits)
        p.push_back(h.position);
    return p;
}

// The fast search of the folded copy finds exactly what the log viewer's
// search finds press after press, on texts mixing letters whose capitals fold,
// letters that do not, and units that share a low byte (which the skip
// table cannot tell apart).
TEST(IncidentSearch, FindsWhatTheLogViewersSearchFinds)
{
    const std::u16string alphabet = u"aAbB\u00C0\u00E0\u00DF\u0416\u0436\u0161\u0162 \r\n";
    std::mt19937 random(7);
    const auto pick = [&](std::size_t n) {
        std::u16string s;
        for (std::size_t i = 0; i < n; ++i)
            s += alphabet[random() % alphabet.size()];
        return s;
    };
    for (int round = 0; round < 3000; ++round) {
        const std::u16string text = pick(random() % 60);
        const std::u16string needle = pick(1 + random() % 4);
        std::vector<std::int32_t> expected;
        for (std::int32_t at = FindIgnoringCase(text, needle, 0); at >= 0;
             at = FindIgnoringCase(text, needle, at + static_cast<std::int32_t>(needle.size())))
            expected.push_back(at);
        EXPECT_EQ(Positions(Over({Doc(DocumentKind::Log, "MainLog", text)}).Find(needle)), expected)
            << ToUtf8(text) << " / " << ToUtf8(needle);
    }
    // One occurrence after the other, as a reader counts them; nothing for nothing.
    const IncidentSearch search = Over({Doc(DocumentKind::Log, "MainLog", u"aaaaa AAA")});
    EXPECT_EQ(Positions(search.Find(u"aa")), (std::vector<std::int32_t> {0, 2, 6}));
    EXPECT_TRUE(search.Find(u"").hits.empty());
}

TEST(IncidentSearch, ContextIsOneLineOfAtMostFortyCharactersEitherSide)
{
    const std::u16string far(50, u'x');
    const std::u16string text = u"first line\r\nshort HIT here\r\n" + far + u"hit" + far + u"\r\nsplit\r\nline";
    const IncidentSearch search = Over({Doc(DocumentKind::Log, "MainLog", text)});

    const auto shown = [&](std::u16string_view query) {
        std::vector<std::pair<std::u16string, std::int32_t>> lines;
        for (const SearchHit& h : search.Find(query).hits)
            lines.emplace_back(h.context, h.contextHit);
        return lines;
    };
    const std::u16string forty(40, u'x');
    EXPECT_EQ(shown(u"hit"), (decltype(shown(u"")) {{u"short HIT here", 6}, {forty + u"hit" + forty, 40}}));
    // A hit across a line break reads it as blanks; the lines around it are cut.
    EXPECT_EQ(shown(u"split\r\nli"), (decltype(shown(u"")) {{u"split  line", 0}}));

    // Half a character is never kept at an edge.
    std::int32_t at = 0;
    const std::u16string pair = u"\U0001F600";
    const std::u16string wide = u"a" + pair + std::u16string(39, u'y') + u"Q" + std::u16string(39, u'y') + pair;
    EXPECT_EQ(HitContext(wide, 42, 1, at), std::u16string(39, u'y') + u"Q" + std::u16string(39, u'y'));
    EXPECT_EQ(at, 39);
}

TEST(IncidentSearch, HitsCarryTheTimeOfTheEntryHoldingThemInDocumentOrder)
{
    const IncidentSearch search = Over({
        Doc(DocumentKind::Log, "MainLog",
            u"Header: radio\r\n12/5/2026 14:33 - radio check\r\nmore radio\r\n12/5/2026 2:40:05 PM - quiet"),
        Doc(DocumentKind::Conversation, "4711_TxT1.rtf", u"no time RADIO"),
        Doc(DocumentKind::RecordSheet, "Record:1:2", u"Radio operator"),
        Doc(DocumentKind::Attachments, "Attachments", u"radio.pdf\tlog\tPDF\t1 KB"),
    });
    const SearchAnswer answer = search.Find(u"radio");
    std::vector<std::tuple<std::size_t, std::int32_t, std::string>> got;
    for (const SearchHit& h : answer.hits)
        got.emplace_back(h.document, h.position, h.time ? IsoText(*h.time) : "none");
    EXPECT_EQ(got,
        (std::vector<std::tuple<std::size_t, std::int32_t, std::string>> {{0, 8, "none"},
            {0, 33, "2026-12-05T14:33:00"}, {0, 51, "2026-12-05T14:33:00"}, {1, 8, "none"}, {2, 0, "none"},
            {3, 0, "none"}}));
    EXPECT_FALSE(answer.capped);
    EXPECT_FALSE(answer.stopped);
}

TEST(IncidentSearch, KeepsAtMostTheCapAndStopsWhenAsked)
{
    const IncidentSearch search
        = Over({Doc(DocumentKind::Log, "MainLog", std::u16string(10, u'e')), Doc(DocumentKind::Log, "NocLog", u"e")});
    const SearchAnswer all = search.Find(u"E", 11), capped = search.Find(u"e", 10);
    EXPECT_EQ(std::pair(all.hits.size(), all.capped), std::pair(std::size_t(11), false));
    EXPECT_EQ(std::tuple(capped.hits.size(), capped.capped, capped.stopped), std::tuple(std::size_t(10), true, false));
    std::stop_source stop;
    stop.request_stop();
    const SearchAnswer stopped = search.Find(u"e", 10, stop.get_token());
    EXPECT_TRUE(stopped.stopped && stopped.hits.empty());
}

} // namespace
} // namespace pellam
