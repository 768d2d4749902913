#include "records/RecordFields.h"

namespace pellam {

const std::array<RecordField, 31> kRecordFields = {{
    {"IdNumber", 1, 0},
    {"Name", 1, 1},
    {"Involvement", 1, 3},
    {"Sex", 1, 4},
    {"Race", 1, 5},
    {"DOB", 1, 6},
    {"Height", 1, 7},
    {"Weight", 1, 8},
    {"Hair", 1, 9},
    {"Eyes", 1, 10},
    {"Phone", 2, 0},
    {"CellPhone", 2, 1},
    {"Address", 2, 2},
    {"City", 2, 3},
    {"State", 2, 4},
    {"ZIP", 2, 5},
    {"DriversLicense", 2, 6},
    {"SSN", 2, 7},
    {"CIINumber", 2, 8},
    {"FBINumber", 2, 9},
    {"DOCNumber", 2, 10},
    {"PhotoFile", 3, 0},
    {"ScarsMarksTattoos", 3, 1},
    {"MentalHealth", 3, 2},
    {"Medications", 3, 3},
    {"WeaponsRegistered", 3, 4},
    {"GangAffiliation", 3, 5},
    {"PriorContacts", 3, 6},
    {"NamePart2", 3, 7},
    {"NamePart3", 3, 9},
    {"NamePart4", 3, 10},
}};

std::string FieldText(const RecordTable& table, int role, int person, const std::string& name)
{
    if (!RecordTable::InRange(role, person, 0, 0))
        return std::string();
    for (const auto& f : kRecordFields)
        if (name == f.Name)
            return table(role, person, f.Page, f.Field);
    return std::string();
}

std::string DisplayName(const RecordTable& table, int role, int person)
{
    if (!RecordTable::InRange(role, person, 0, 0))
        return std::string();
    std::string name = table(role, person, 1, 1);
    for (const int field : {7, 9, 10}) {
        const std::string& part = table(role, person, 3, field);
        if (!part.empty())
            name += " " + part;
    }
    return name;
}

} // namespace pellam
