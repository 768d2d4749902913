#pragma once
// The rows of the record list: every person of the records file, role by role
// in the file's order, each row remembering the role and person number it
// shows (the list's map from row to person).
#include "records/RecordTable.h"
#include "workspace/RoleTable.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pellam {

struct RecordListRow {
    std::int16_t Role = 0;
    std::int16_t Person = 0;
    std::string Type; // the role's label
    std::string Name; // the display name
    std::string DOB;
    std::string Photo; // "Yes" or "No"
    bool operator==(const RecordListRow&) const = default;
};

// The map from list row to person has room for this many rows; the list stops there.
inline constexpr int kRecordListRows = 100;

std::vector<RecordListRow> UpdateListCTL(const RecordTable& table, const RoleTable& roles);

} // namespace pellam
