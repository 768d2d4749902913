#include "cli/RunVerb.h"

#include <gtest/gtest.h>

#include <regex>

namespace pellam::test {
namespace {

// The sample incident's Main Log closes with the CRC list: each CRC ends 38
// characters after its recording's name, so offsets in the verb's output are
// the positions the CRC test counts.
TEST(VerbRtf2text, PrintsThePlainTextWithTwoCharacterLineBreaks)
{
    const std::string log = std::string(PELLAM_BINARY_DIR) + "/sample/4711/4711_MainLOG.doc";
    const CliOutput r = RunVerb({"rtf2text", log});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Incident Number: 4711 Started.\r\n"), std::string::npos);
    const auto end = r.out.find("Incident Number: 4711 Ended.");
    ASSERT_NE(end, std::string::npos);
    const std::string name = "4711_Rec01_1433.mp3";
    const auto at = r.out.find(name, end);
    ASSERT_NE(at, std::string::npos);
    const std::string crc = r.out.substr(at + name.size() + 27, 11);
    EXPECT_TRUE(std::regex_match(crc, std::regex("[0-9A-F]{2}( [0-9A-F]{2}){3}"))) << crc;

    const CliOutput missing = RunVerb({"rtf2text", log + ".missing"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("No such file"), std::string::npos);
}

} // namespace
} // namespace pellam::test
