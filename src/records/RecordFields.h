#pragma once
// Names of the person fields of the records file and the display name built
// from them. The record list and the record sheet address fields through this
// table rather than through bare page and field numbers.
#include "records/RecordTable.h"

#include <array>
#include <string>

namespace pellam {

struct RecordField {
    const char* Name;
    int Page; // 1..3
    int Field; // 0..10
};

// Every named field in file order; fields 1/2 and 3/8 carry no name.
extern const std::array<RecordField, 31> kRecordFields;

// The text of a named field of person (role, person); "" for an unknown name.
std::string FieldText(const RecordTable& table, int role, int person, const std::string& name);

// Name, then each non-empty NamePart2, NamePart3, NamePart4 after one blank.
std::string DisplayName(const RecordTable& table, int role, int person);

} // namespace pellam
