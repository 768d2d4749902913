#include "records/RecordSheet.h"
#include "records/RecordFields.h"
#include "records/RecordList.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace pellam {
namespace {

// Each field's page and place on it, as the records file lays a person down.
const std::map<std::string, std::pair<int, int>> kPlaces
    = {{"IdNumber", {1, 0}}, {"Name", {1, 1}}, {"Involvement", {1, 3}}, {"Sex", {1, 4}}, {"Race", {1, 5}},
        {"DOB", {1, 6}}, {"Height", {1, 7}}, {"Weight", {1, 8}}, {"Hair", {1, 9}}, {"Eyes", {1, 10}}, {"Phone", {2, 0}},
        {"CellPhone", {2, 1}}, {"Address", {2, 2}}, {"City", {2, 3}}, {"State", {2, 4}}, {"ZIP", {2, 5}},
        {"DriversLicense", {2, 6}}, {"SSN", {2, 7}}, {"CIINumber", {2, 8}}, {"FBINumber", {2, 9}},
        {"DOCNumber", {2, 10}}, {"PhotoFile", {3, 0}}, {"ScarsMarksTattoos", {3, 1}}, {"MentalHealth", {3, 2}},
        {"Medications", {3, 3}}, {"WeaponsRegistered", {3, 4}}, {"GangAffiliation", {3, 5}}, {"PriorContacts", {3, 6}},
        {"NamePart2", {3, 7}}, {"NamePart3", {3, 9}}, {"NamePart4", {3, 10}}};

void Set(RecordTable& t, int role, int person, const std::string& name, const std::string& value)
{
    const auto [page, field] = kPlaces.at(name);
    t(role, person, page, field) = value;
}

std::string Sheet(const RecordTable& t, const std::string& note = kPhotoNotAvailable)
{
    return PlainLines(Fillerup(t, RoleTable {}, 2, 1, note, "12/5/2026"));
}

const std::string kRule(92, '_');

} // namespace

TEST(RecordFields, EachNameReadsItsOwnPlace)
{
    RecordTable t;
    for (const auto& [name, place] : kPlaces)
        t(4, 2, place.first, place.second) = name;
    for (const auto& [name, place] : kPlaces)
        EXPECT_EQ(FieldText(t, 4, 2, name), name);
    EXPECT_EQ(kRecordFields.size(), kPlaces.size());
}

TEST(RecordList, RowsFollowTheRolesAndMapToTheirPersons)
{
    RecordTable t;
    // Two hostages and a witness; a negative count and a zero count list nobody.
    for (const auto& [role, count] : {std::pair {3, "2"}, {8, "1"}, {1, "-1"}, {2, "0"}})
        t.Header(role) = count;
    for (const auto& [name, value] : {std::pair {"Name", "Doe"}, {"NamePart2", "John"}, {"PhotoFile", "doe.jpg"}})
        Set(t, 2, 1, name, value);
    Set(t, 7, 1, "DOB", "01/02/1990");
    const auto rows = UpdateListCTL(t, RoleTable {});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(std::tuple(rows[0], rows[1].Role * 10 + rows[1].Person, rows[2]),
        std::tuple(RecordListRow {2, 1, "Hostage", "Doe John", "", "Yes"}, 22,
            RecordListRow {7, 1, "Witness", "", "01/02/1990", "No"}));

    // The map holds 100 rows: the list stops there.
    for (int k = 1; k <= 8; ++k)
        t.Header(k) = "100";
    EXPECT_EQ(UpdateListCTL(t, RoleTable {}).size(), std::size_t(kRecordListRows));
}

TEST(RecordSheet, AgeFromEveryShortDateLayout)
{
    // Born, today, age.
    const std::tuple<const char*, const char*, const char*> cases[] = {{"02/29/1980", "02/28/2026", "45"},
        {"02/29/1980", "03/01/2026", "46"}, {"01/05/1990", "1/5/2026", "36"}, {"12/06/1990", "12/5/2026", "35"},
        {"01/16/1990", "1/15/2026", "35"}, {"01/15/1990", "01/15/2026", "36"},
        {"12/31/2030", "12/5/2026", "-5"}, // born in the future: the difference as it is
        {"2/3/1980", "12/5/2026", ""}, {"", "12/5/2026", ""}, {"01/15/1990", "", ""}, {"ab/cd/efgh", "1/5/2026", ""}};
    for (const auto& [dob, today, age] : cases)
        EXPECT_EQ(PersonAge(dob, today), age) << dob << " on " << today;
}

// A photo is a file of the photo folder, its name taken as bytes: one leading
// out of the folder, by ".." or by a link, is never read.
TEST(RecordSheet, PhotoComesOnlyFromThePhotoFolder)
{
    test::TempDir dir;
    const std::string photos = dir.str() + "/case/Photo/", latin1 = std::string("Pe") + '\xF1' + "a.jpg";
    dir.write("outside.jpg", "\xFF\xD8\xFF\xE0");
    dir.write("case/Photo/" + latin1, "\xFF\xD8\xFF\xE0");
    dir.write("case/Photo/text.jpg", "not a picture");
    std::filesystem::create_symlink(dir.file("outside.jpg"), photos + "link.jpg");
    const std::tuple<std::string, std::string, std::string> cases[] = {{latin1, "", ""}, {"", kPhotoNotAvailable, ""},
        {"../../outside.jpg", kPhotoLoadError,
            "The name \"../../outside.jpg\" is not a file name of the folder " + photos + "."},
        {"link.jpg", kPhotoLoadError, "The name \"link.jpg\" leads out of the folder " + photos + "."},
        {"text.jpg", kPhotoLoadError, photos + "text.jpg: not a JPEG, PNG, GIF or BMP picture"},
        {"gone.jpg", kPhotoLoadError, photos + "gone.jpg: No such file or directory"}};
    for (const auto& [name, note, reason] : cases) {
        const PhotoCheck c = CheckPhoto(name, FolderPath(photos));
        EXPECT_EQ(std::tuple(c.note, c.reason, c.path), std::tuple(note, reason, note.empty() ? photos + name : ""))
            << name;
    }
}

TEST(RecordSheet, SparseAndFullPersons)
{
    RecordTable t;
    Set(t, 2, 1, "Name", "Ada");
    const std::string sparse = Sheet(t);
    EXPECT_TRUE(sparse.starts_with("Hostage Record Sheet for\nAda\n\n(Photo Not Available)\nID#: \n" + kRule))
        << sparse;
    EXPECT_TRUE(sparse.ends_with("\nPRIOR CONTACT HISTORY:\n\n(No Data Available for this section)\n")) << sparse;

    // Weight alone closes the descriptor line; eyes end it without blanks.
    for (const auto& [name, value] : {std::pair {"Weight", "170"}, {"Eyes", "BLU"}, {"DOB", "03/14/1971"},
             {"City", "Port Alder"}, {"SSN", "123"}, {"FBINumber", "F9"}, {"GangAffiliation", "none known"},
             {"Involvement", "Held in the kitchen."}, {"ScarsMarksTattoos", "scar"}})
        Set(t, 2, 1, name, value);
    const std::string full = Sheet(t, "");
    for (const std::string& part : {std::string("Ada\n[photo]\nID#: "),
             "\nDOB: 03/14/1971 (55yrs)    Wt: 170     Eyes: BLU\nScars, Marks and Tattoos:\nscar\n" + kRule,
             "\nCity: Port Alder     \n\nSocial Security Number: 123\nFBI Number: F9\n\n" + kRule,
             "\nGang Affiliation\nnone known\n\n" + kRule + "\nINVOLVEMENT INFO:\n\nHeld in the kitchen.\n"})
        EXPECT_NE(full.find(part), std::string::npos) << part << "\n" << full;
    EXPECT_EQ(SheetCaption(t, 2, 1), " Record Viewer:  Viewing Ada");
}

} // namespace pellam
