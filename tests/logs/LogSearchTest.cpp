#include "logs/LogSearch.h"

#include <gtest/gtest.h>

namespace pellam {
namespace {

TEST(LogSearch, FoldsLatinAndCyrillicCapitalsOnly)
{
    const std::pair<char16_t, char16_t> cases[]
        = {{u'A', u'a'}, {u'Z', u'z'}, {u'@', u'@'}, {u'[', u'['}, {u'\u00C0', u'\u00E0'}, {u'\u00DE', u'\u00FE'},
            {u'\u00D7', u'\u00D7'}, {u'\u00DF', u'\u00DF'}, {u'\u00BF', u'\u00BF'}, {u'\u0410', u'\u0430'},
            {u'\u042F', u'\u044F'}, {u'\u040F', u'\u040F'}, {u'\u0430', u'\u0430'}};
    for (const auto& [capital, small] : cases)
        EXPECT_EQ(FoldCase(capital), small) << int(capital);

    const std::u16string text = u"Мир и МИР, Welt";
    EXPECT_EQ(std::tuple(FindIgnoringCase(text, u"мир", 1), FindIgnoringCase(text, u"WELT", -5),
                  FindIgnoringCase(text, u"welt", 12), FindIgnoringCase(text, u"", 0)),
        std::tuple(6, 11, -1, -1));
}

TEST(LogSearch, EachPressContinuesAfterTheLastMatchThenFromTheTopAndANewTextStartsAtTheTop)
{
    const std::u16string text = u"abc ABC xabc";
    SearchState state;
    // Per press: the match selected (-1: none), its length, whether a message says none is left.
    std::vector<std::tuple<int, int, bool>> steps;
    for (const char16_t* t : {u"abc", u"abc", u"abc", u"abc", u"abc", u"ABC"}) {
        const SearchStepResult r = SearchStep(state, t, text, 0);
        steps.emplace_back(r.selectStart.value_or(-1), r.selectLength, r.message.has_value());
    }
    EXPECT_EQ(steps,
        (std::vector<std::tuple<int, int, bool>> {
            {0, 3, false}, {4, 3, false}, {9, 3, false}, {-1, 0, true}, {0, 3, false}, {0, 3, false}}));
    EXPECT_EQ(state.SearchStart, 3);
    EXPECT_TRUE(SearchStep(state, u"zz", text, 0).message);
}

} // namespace
} // namespace pellam
