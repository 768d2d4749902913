// pellam-cli search on the sample incident: each document's hits are where
// its plain text holds the word, found here on rtf2text's output.
#include "RunVerb.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

using pellam::test::RunVerb;

namespace {

const std::string kSample = PELLAM_BINARY_DIR "/sample/4711";

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

// Each hit as "source position time context" (time is null or quoted).
std::vector<std::string> Hits(const std::string& json)
{
    static const std::regex hit(
        R"re(\{"source":"([^"]*)","position":(\d+),"time":(null|"[^"]*"),"context":"((?:[^"\\]|\\.)*)"\})re");
    std::vector<std::string> hits;
    for (auto it = std::sregex_iterator(json.begin(), json.end(), hit); it != std::sregex_iterator(); ++it)
        hits.push_back((*it)[1].str() + ' ' + (*it)[2].str() + ' ' + (*it)[3].str() + ' ' + (*it)[4].str());
    return hits;
}

} // namespace

// The logs and conversations in the order the answer lists them; after them
// come the record sheets and the attachments list.
TEST(SearchVerb, HitsAreWhereEachDocumentsPlainTextHoldsTheWordInTheOrderOfTheSources)
{
    const std::pair<const char*, const char*> documents[] = {{"MainLog", "4711_MainLOG.doc"},
        {"NocLog", "4711_NOCLOG.rtf"}, {"AdminLog", "ADCOMM.rtf"}, {"NppReport", "4711_NPP_Rpt.rtf"},
        {"4711_TextCon0.doc", "4711_TextCon0.doc"}, {"4711_TextCon1.doc", "4711_TextCon1.doc"}};
    for (const std::string word : {"dale", "command post"}) {
        const auto r = RunVerb({"search", kSample + "/4711.evt", word == "dale" ? "DaLe" : word});
        ASSERT_EQ(r.status, 0) << r.err;
        std::vector<std::string> expected; // "source position", document by document
        for (const auto& [source, file] : documents) {
            const std::string text = Lower(RunVerb({"rtf2text", kSample + "/" + file}).out);
            for (auto p = text.find(word); p != std::string::npos; p = text.find(word, p + word.size()))
                expected.push_back(source + (' ' + std::to_string(p)));
        }
        std::vector<std::string> got;
        for (const std::string& hit : Hits(r.out)) {
            EXPECT_NE(Lower(hit).find(word, hit.find(' ', hit.find(' ') + 1)), std::string::npos) << hit;
            if (!hit.starts_with("Record:") && !hit.starts_with("Attachments"))
                got.push_back(hit.substr(0, hit.find(' ', hit.find(' ') + 1)));
        }
        EXPECT_EQ(got, expected);
    }

    const auto r = RunVerb({"search", kSample + "/4711.evt", "residence"});
    const std::vector<std::string> hits = Hits(r.out);
    ASSERT_EQ(hits.size(), 5u) << r.out;
    EXPECT_EQ(
        hits[0], R"(NocLog 153 "2026-12-05T14:35:00" /2026 14:35:00 - NOC: Phone line to the residence isolated.)");
    EXPECT_TRUE(hits[1].starts_with("Record:0:1 ") && hits[2].starts_with("Attachments 32 null "));
    EXPECT_EQ(hits[4], R"(Attachments 87 null Residence.jpg\tPhoto of the residence\tPhoto\t1 KB)");
}

TEST(SearchVerb, NoHitAnswersOne)
{
    const auto none = RunVerb({"search", kSample + "/4711.evt", "no such words"});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "{\"query\":\"no such words\",\"hits\":[]}\n");
}
