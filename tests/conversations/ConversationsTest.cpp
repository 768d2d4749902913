#include "conversations/Conversations.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace pellam;

// The contacts of the active slots 1..4 ("," after each), or the error's number.
std::string Readout(const Result<ConversationIndex, TxtDatError>& index)
{
    if (!index)
        return "error " + std::to_string(static_cast<int>(index.error()));
    std::string contacts;
    for (int slot = 1; slot < ConversationIndex::kSlots; ++slot)
        if (index->entries[static_cast<std::size_t>(slot)].active)
            contacts += index->entries[static_cast<std::size_t>(slot)].contact + ",";
    return contacts;
}

TEST(ConversationIndex, ReadsFourRecordsOrNothing)
{
    const std::string rest = ",\"2|0|Bo|\",\"3|0||\",\"4|0||\""; // three inactive records
    const std::pair<std::string, std::string> cases[] = {
        {"\"1|True|Ann|555\",\"2|0|Bo|\"\r\n\"3|-1|Cy|1\",\"4|FALSE||\"", "Ann,Cy,"},
        {"\"1|true|A, B|555\",\"2|2.5|C|\",\"3|0||\",\"4|0||\",\"1|0||\"", "A, B,C,"}, // a fifth is not read
        {"1|1|Ann|5,2|0|Bo|6\n3|0||,4|0||", "Ann,"},
        {"\"4|1|Dee|5|ext\",\"0|1|Zero|\",\"1|0||\",\"2| 0 ||\"", "Dee,"}, // slot 0 is never shown
        {"1|1|A", "error 0"}, // 6 bytes
        {"\"1|True|Ann|555\",\"2|0|Bo|\"", "error 1"},
        {"\"1|True|Ann\"" + rest, "error 2"},
        {"\"5|True|Ann|555\"" + rest, "error 2"},
        {"\"x|True|Ann|555\"" + rest, "error 2"},
        {"\"1|yes|Ann|555\"" + rest, "error 3"},
        {"\"1||Ann|555\"" + rest, "error 3"},
        {"\"1|inf|Ann|555\"" + rest, "error 3"},
        {"\"1|1x|Ann|555\"" + rest, "error 3"},
        {"\"1|+2|Ann|555\"" + rest, "Ann,"},
    };
    for (const auto& [bytes, readout] : cases)
        EXPECT_EQ(Readout(ParseConversationIndex(bytes)), readout) << bytes;
    EXPECT_EQ(Readout(ReadConversationIndex("/")), "error 0");
    test::TempDir dir; // from a file: what it holds and no more
    for (const auto& [bytes, readout] : {cases[0], cases[4], cases[5]})
        EXPECT_EQ(Readout(ReadConversationIndex(dir.write("TxT.dat", bytes))), readout) << bytes;
}

TEST(FormatPhone, KeepsTheDigitsInTheLayoutOfTheirCount)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", ""}, {"5551234", "555-1234"}, {"1234", "123-4   "}, {"call me", "   -    "},
        {"(555) 123-4567", "(555) 123-4567"}, {"+1 555 123 4567", "1(555) 123-4567"}, {"55512345", "5(551) 234-5   "},
        {"555-1234 ext. 89", "5(551) 234-89  "},
        {"+49 30 1234 567890", "4(930) 123-4567890"}, // the digits beyond the layout follow it
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(FormatPhone(in), out) << in;
}

TEST(BracketedName, FoundAroundTheClickWithinReachThenCheckedForAnExtension)
{
    const std::u16string text = u"see [Photo1.jpg] and [[x.txt]] or [a] b]\r\n[no.jpg";
    const auto at = [&](std::int32_t click) {
        const auto found = FindBracketedName(text, click);
        return found ? found->name + "@" + std::to_string(found->start) + "-" + std::to_string(found->end) : "-";
    };
    // Inside, just before the opening bracket, nested.
    EXPECT_EQ(std::tuple(at(8), at(4), at(24)), std::tuple("Photo1.jpg@5-15", "Photo1.jpg@5-15", "x.txt@23-28"));
    for (std::int32_t click : {2, 37, 45, -5, 1000}) // before it; "[a] b]" spans a bracket; unbalanced; outside
        EXPECT_EQ(at(click), "-") << click;
    EXPECT_EQ(FindBracketedName(u"[" + std::u16string(40, u'n') + u".jpg]", 22), std::nullopt); // out of reach

    for (const char* name : {"Photo1.jpg", "clip.0mp3", "notes.xyz"})
        EXPECT_TRUE(CheckAttachmentName(name)) << name;
    for (const char* name : {"Photo1", "../../etc/passwd", "a..jpg"})
        EXPECT_FALSE(CheckAttachmentName(name)) << name;
}
