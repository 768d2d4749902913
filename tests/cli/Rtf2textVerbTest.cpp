#include "cli/RunVerb.h"

#include <gtest/gtest.h>

namespace pellam::test {
namespace {

// The sample incident's Main Log as plain text, each line ended by "\r\n" as
// the positions the notation link and the CRC test count require.
TEST(VerbRtf2text, PrintsThePlainTextWithTwoCharacterLineBreaks)
{
    const std::string log = std::string(PELLAM_BINARY_DIR) + "/sample/4711/4711_MainLOG.doc";
    const CliOutput r = RunVerb({"rtf2text", log});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.find("Incident Number: 4711 Started.\r\n") < r.out.find("Incident Number: 4711 Ended.\r\n")
        && r.out.find("Incident Number: 4711 Ended.\r\n") != std::string::npos);

    const CliOutput missing = RunVerb({"rtf2text", log + ".missing"});
    EXPECT_TRUE(missing.status == 2 && missing.err.find("No such file") != std::string::npos) << missing.err;
}

} // namespace
} // namespace pellam::test
