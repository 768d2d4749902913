#include "logs/LogParts.h"

#include <gtest/gtest.h>

#include <vector>

namespace pellam {
namespace {

RichDocument Paragraphs(std::initializer_list<std::u16string_view> texts)
{
    RichDocument doc;
    bool first = true;
    for (const auto text : texts) {
        if (!std::exchange(first, false))
            doc.NewParagraph(Alignment::Left);
        doc.Append(text, {});
    }
    return doc;
}

TEST(LogParts, BeginWherePartsFillUpAndCutLongParagraphsBetweenCharacters)
{
    using P = std::vector<std::size_t>;
    // "aaaa\r\nbb\r\ncccccc\r\n\r\nd": paragraphs begin at 0, 6, 10, 18 and 20.
    const RichDocument doc = Paragraphs({u"aaaa", u"bb", u"cccccc", u"", u"d"});
    EXPECT_EQ(LogParts(doc, 100, 100), P({0}));
    EXPECT_EQ(LogParts(doc, 100, 2), P({0, 10, 20}));
    EXPECT_EQ(LogParts(doc, 5, 100), P({0, 6, 10, 15, 20}));
    // A surrogate pair stays whole.
    EXPECT_EQ(LogParts(Paragraphs({u"x\U0001F600y"}), 2, 100), P({0, 1, 3}));

    const P parts {0, 6, 10, 15, 20};
    EXPECT_EQ(std::tuple(PartOf(parts, 0), PartOf(parts, 9), PartOf(parts, 10), PartOf(parts, 21)),
        std::tuple(0u, 1u, 2u, 4u));
}

} // namespace
} // namespace pellam
