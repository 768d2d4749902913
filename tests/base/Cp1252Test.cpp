#include "base/Cp1252.h"

#include <gtest/gtest.h>

namespace pellam {
namespace {

TEST(Cp1252, TheThirtyTwoBytesFrom80To9FAndBack)
{
    std::string bytes;
    for (int b = 0x80; b <= 0x9F; ++b)
        bytes += static_cast<char>(b);
    const std::string text = "\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152\u008D"
                             "\u017D\u008F\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122\u0161\u203A"
                             "\u0153\u009D\u017E\u0178";
    EXPECT_EQ(DecodeCp1252(bytes), text);
    EXPECT_EQ(EncodeCp1252(text), bytes);
}

} // namespace
} // namespace pellam
