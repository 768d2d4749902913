#include "logs/LogParts.h"
#include "richtext/RtfReader.h"

#include <gtest/gtest.h>

#include <vector>

namespace pellam {
namespace {

TEST(LogParts, BeginWherePartsFillUpAndCutLongParagraphsBetweenCharacters)
{
    using P = std::vector<std::size_t>;
    // "aaaa\r\nbb\r\ncccccc\r\n\r\nd": paragraphs begin at 0, 6, 10, 18 and 20.
    const RichDocument doc = ReadRtf("aaaa\r\nbb\r\ncccccc\r\n\r\nd");
    EXPECT_EQ(std::tuple(LogParts(doc, 100, 100), LogParts(doc, 100, 2), LogParts(doc, 5, 100)),
        std::tuple(P({0}), P({0, 10, 20}), P({0, 6, 10, 15, 20})));
    // A surrogate pair stays whole (U+1F600, and the pairs of the lowest and highest leading halves).
    for (const char* pair : {"\\u-10179?\\u-8704?", "\\u-10240?\\u-9216?", "\\u-9217?\\u-9216?"})
        EXPECT_EQ(LogParts(ReadRtf(std::string("{\\rtf1 x") + pair + "y}"), 2, 100), P({0, 1, 3})) << pair;

    const P parts {0, 6, 10, 15, 20};
    EXPECT_EQ(std::tuple(PartOf(parts, 0), PartOf(parts, 9), PartOf(parts, 10), PartOf(parts, 21)),
        std::tuple(0u, 1u, 2u, 4u));
}

} // namespace
} // namespace pellam
