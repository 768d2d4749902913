#include "records/RecordFields.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

using namespace pellam;

TEST(RecordFields, NamesCoverEveryFieldButTheTwoWithoutMeaning)
{
    std::set<std::pair<int, int>> places;
    std::set<std::string> names;
    for (const auto& f : kRecordFields) {
        places.insert({f.Page, f.Field});
        names.insert(f.Name);
    }
    EXPECT_EQ(places.size(), 31u);
    EXPECT_EQ(names.size(), 31u);
    EXPECT_FALSE(places.count({1, 2}) || places.count({3, 8}));

    RecordTable table;
    table(4, 2, 2, 7) = "123-45";
    table(4, 2, 3, 0) = "p.jpg";
    EXPECT_EQ(FieldText(table, 4, 2, "SSN"), "123-45");
    EXPECT_EQ(FieldText(table, 4, 2, "PhotoFile"), "p.jpg");
    EXPECT_EQ(FieldText(table, 4, 2, "Nickname"), "");
}

TEST(RecordFields, DisplayNameJoinsTheNonEmptyParts)
{
    RecordTable table;
    table(1, 1, 1, 1) = "Ann";
    table(1, 1, 3, 9) = "Lee";
    table(1, 1, 3, 10) = "Jr";
    EXPECT_EQ(DisplayName(table, 1, 1), "Ann Lee Jr");
    table(1, 2, 3, 7) = "B";
    EXPECT_EQ(DisplayName(table, 1, 2), " B");
    EXPECT_EQ(DisplayName(table, 1, 3), "");
    EXPECT_EQ(DisplayName(table, 9, 1), "");
}
