// pellam-cli search on the sample incident: each document's hits are where
// its plain text holds the word, found here on rtf2text's output.
#include "RunVerb.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>

using pellam::test::RunVerb;

namespace {

const std::string kSample = PELLAM_BINARY_DIR "/sample/4711";

struct Hit {
    std::string source;
    int position = 0;
    std::string time, context;
};

std::vector<Hit> Hits(const std::string& json)
{
    static const std::regex hit(
        R"re(\{"source":"([^"]*)","position":(\d+),"time":(null|"[^"]*"),"context":"((?:[^"\\]|\\.)*)"\})re");
    std::vector<Hit> hits;
    for (auto it = std::sregex_iterator(json.begin(), json.end(), hit); it != std::sregex_iterator(); ++it)
        hits.push_back({(*it)[1], std::stoi((*it)[2]), (*it)[3], (*it)[4]});
    return hits;
}

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

// Where `word` (small letters) occurs in the document's plain text, one
// occurrence after the other; the sample's texts are ASCII, so bytes are positions.
std::vector<int> PlainTextHits(const std::string& file, const std::string& word)
{
    const std::string text = Lower(RunVerb({"rtf2text", kSample + "/" + file}).out);
    std::vector<int> at;
    for (auto p = text.find(word); p != std::string::npos; p = text.find(word, p + word.size()))
        at.push_back(static_cast<int>(p));
    return at;
}

// The sources in the order the answer lists them: the four logs, the
// conversations, the record sheets, the attachments list.
int Rank(const std::string& source)
{
    const std::vector<std::string> order
        = {"MainLog", "NocLog", "AdminLog", "NppReport", "4711_TextCon0.doc", "4711_TextCon1.doc"};
    const auto at = std::find(order.begin(), order.end(), source);
    if (at != order.end())
        return static_cast<int>(at - order.begin());
    return source.rfind("Record:", 0) == 0 ? 6 : 7;
}

} // namespace

TEST(SearchVerb, HitsAreWhereEachDocumentsPlainTextHoldsTheWordInTheOrderOfTheSources)
{
    const std::map<std::string, std::string> files = {{"MainLog", "4711_MainLOG.doc"}, {"NocLog", "4711_NOCLOG.rtf"},
        {"AdminLog", "ADCOMM.rtf"}, {"NppReport", "4711_NPP_Rpt.rtf"}, {"4711_TextCon0.doc", "4711_TextCon0.doc"},
        {"4711_TextCon1.doc", "4711_TextCon1.doc"}};
    for (const std::string word : {"dale", "residence", "command post"}) {
        const auto r = RunVerb({"search", kSample + "/4711.evt", word == "dale" ? "DaLe" : word});
        ASSERT_EQ(r.status, 0) << r.err;
        const std::vector<Hit> hits = Hits(r.out);
        ASSERT_FALSE(hits.empty()) << r.out;

        std::map<std::string, std::vector<int>> found;
        std::vector<int> rank;
        for (const Hit& h : hits) {
            found[h.source].push_back(h.position);
            rank.push_back(Rank(h.source));
            EXPECT_NE(Lower(h.context).find(word), std::string::npos) << h.context;
        }
        EXPECT_TRUE(std::is_sorted(rank.begin(), rank.end())) << r.out;
        for (const auto& [source, file] : files)
            EXPECT_EQ(found[source], PlainTextHits(file, word)) << word << " in " << source;
    }
}

TEST(SearchVerb, HitsCarryTheirEntrysTimeAndNoHitAnswersOne)
{
    const auto r = RunVerb({"search", kSample + "/4711.evt", "residence"});
    const std::vector<Hit> hits = Hits(r.out);
    const auto noc = std::find_if(hits.begin(), hits.end(), [](const Hit& h) { return h.source == "NocLog"; });
    ASSERT_NE(noc, hits.end());
    EXPECT_EQ(noc->time, "\"2026-12-05T14:35:00\"");
    EXPECT_EQ(hits.back().source, "Attachments");
    EXPECT_EQ(hits.back().time, "null");
    EXPECT_EQ(hits.back().context, R"(Residence.jpg\tPhoto of the residence\tPhoto\t1 KB)");

    const auto none = RunVerb({"search", kSample + "/4711.evt", "no such words"});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "{\"query\":\"no such words\",\"hits\":[]}\n");
}
