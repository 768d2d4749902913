#include "conversations/Conversations.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace pellam;

TEST(ConversationIndex, ReadsFourRecordsOrNothing)
{
    struct Case {
        const char* bytes;
        std::optional<TxtDatError> error;
        std::string activeContacts; // contacts of the active slots 1..4, "," after each
    };
    const Case cases[] = {
        {"\"1|True|Ann|555\",\"2|0|Bo|\"\r\n\"3|-1|Cy|1\",\"4|FALSE||\"", {}, "Ann,Cy,"},
        {"\"1|true|A, B|555\",\"2|2|C|\",\"3|0||\",\"4|0||\",\"1|0||\"", {}, "A, B,C,"}, // a fifth value is not read
        {"1|1|Ann|5,2|0|Bo|6\n3|0||,4|0||", {}, "Ann,"},
        {"\"4|1|Dee|5|ext\",\"0|1|Zero|\",\"1|0||\",\"2| 0 ||\"", {}, "Dee,"}, // slot 0 is never shown
        {"1|1|A", TxtDatError::Unreadable, ""}, // 6 bytes
        {"\"1|True|Ann|555\",\"2|0|Bo|\"", TxtDatError::Truncated, ""},
        {"\"1|True|Ann|555\",\"2|0|Bo|\",\"3|0|\",\"4|0||\"", TxtDatError::BadRecord, ""},
        {"\"5|True|Ann|555\",\"2|0|Bo|\",\"3|0||\",\"4|0||\"", TxtDatError::BadRecord, ""},
        {"\"x|True|Ann|555\",\"2|0|Bo|\",\"3|0||\",\"4|0||\"", TxtDatError::BadRecord, ""},
        {"\"1|yes|Ann|555\",\"2|0|Bo|\",\"3|0||\",\"4|0||\"", TxtDatError::BadFlag, ""},
        {"\"1||Ann|555\",\"2|0|Bo|\",\"3|0||\",\"4|0||\"", TxtDatError::BadFlag, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        const auto index = ParseConversationIndex(c.bytes);
        ASSERT_EQ(index.ok(), !c.error);
        if (c.error) {
            EXPECT_EQ(index.error(), *c.error);
            continue;
        }
        std::string contacts;
        for (int slot = 1; slot < ConversationIndex::kSlots; ++slot)
            if (index->entries[static_cast<std::size_t>(slot)].active)
                contacts += index->entries[static_cast<std::size_t>(slot)].contact + ",";
        EXPECT_EQ(contacts, c.activeContacts);
    }
    test::TempDir dir;
    EXPECT_EQ(ReadConversationIndex(dir.file("TxT.dat")).error(), TxtDatError::Unreadable);
    EXPECT_EQ(ReadConversationIndex(dir.str()).error(), TxtDatError::Unreadable);
    const auto read = ReadConversationIndex(dir.write("TxT.dat", "1|2.5|Ann|555-1234,2|0||,3|0||,4|0||"));
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read->entries[1], (ConversationSlot {true, "Ann", "555-1234"}));
}

TEST(FormatPhone, KeepsTheDigitsInTheLayoutOfTheirCount)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"5551234", "555-1234"},
        {"1234", "123-4   "},
        {"call me", "   -    "},
        {"(555) 123-4567", "(555) 123-4567"},
        {"+1 555 123 4567", "1(555) 123-4567"},
        {"55512345", "5(551) 234-5   "},
        {"555-1234 ext. 89", "5(551) 234-89  "},
        {"+49 30 1234 567890", "4(930) 123-4567890"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(FormatPhone(in), out) << in;
}

TEST(BracketedName, FoundAroundTheClickWithinReach)
{
    const std::u16string text = u"see [Photo1.jpg] and [[x.txt]] or [a] b]\r\n[no.jpg";
    const auto at = [&](std::int32_t click) {
        const auto found = FindBracketedName(text, click);
        return found ? found->name : std::string("-");
    };
    EXPECT_EQ(at(8), "Photo1.jpg");
    EXPECT_EQ(FindBracketedName(text, 8)->start, 5);
    EXPECT_EQ(FindBracketedName(text, 8)->end, 15);
    EXPECT_EQ(at(4), "Photo1.jpg"); // on the opening bracket
    EXPECT_EQ(at(2), "-"); // before it
    EXPECT_EQ(at(24), "x.txt"); // nested
    EXPECT_EQ(at(37), "-"); // "[a] b]": the pair around the click spans a bracket
    EXPECT_EQ(at(45), "-"); // unbalanced, across a line
    const std::u16string longName = u"[" + std::u16string(40, u'n') + u".jpg]";
    EXPECT_EQ(FindBracketedName(longName, 22), std::nullopt);
    EXPECT_EQ(FindBracketedName(text, -5), std::nullopt);
    EXPECT_EQ(FindBracketedName(text, 1000), std::nullopt);

    EXPECT_TRUE(CheckAttachmentName("Photo1.jpg"));
    EXPECT_TRUE(CheckAttachmentName("clip.0mp3"));
    EXPECT_TRUE(CheckAttachmentName("notes.xyz")); // an unknown extension is still a category
    EXPECT_FALSE(CheckAttachmentName("Photo1"));
    EXPECT_FALSE(CheckAttachmentName("../../etc/passwd"));
    EXPECT_FALSE(CheckAttachmentName("a..jpg"));
}
