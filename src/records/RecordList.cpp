#include "records/RecordList.h"

#include "records/RecordFields.h"
#include "records/clsRecord.h"

namespace pellam {

std::vector<RecordListRow> UpdateListCTL(const RecordTable& table, const RoleTable& roles)
{
    std::vector<RecordListRow> rows;
    for (std::int16_t role = 0; role < clsRecord::kWrittenRoles; ++role) {
        const int count = clsRecord::PersonCount(table, role).value_or(0);
        for (std::int16_t person = 1; person <= count; ++person) {
            if (rows.size() == kRecordListRows)
                return rows;
            rows.push_back({role, person, roles.RoleName(role), DisplayName(table, role, person),
                FieldText(table, role, person, "DOB"),
                FieldText(table, role, person, "PhotoFile").empty() ? "No" : "Yes"});
        }
    }
    return rows;
}

} // namespace pellam
