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
    EXPECT_EQ(LogParts(doc, 100, 100), P({0}));
    EXPECT_EQ(LogParts(doc, 100, 2), P({0, 10, 20}));
    EXPECT_EQ(LogParts(doc, 5, 100), P({0, 6, 10, 15, 20}));
    // A surrogate pair (U+1F600) stays whole.
    EXPECT_EQ(LogParts(ReadRtf("{\\rtf1 x\\u-10179?\\u-8704?y}"), 2, 100), P({0, 1, 3}));

    const P parts {0, 6, 10, 15, 20};
    EXPECT_EQ(std::tuple(PartOf(parts, 0), PartOf(parts, 9), PartOf(parts, 10), PartOf(parts, 21)),
        std::tuple(0u, 1u, 2u, 4u));
}

} // namespace
} // namespace pellam
