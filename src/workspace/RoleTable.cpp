#include "workspace/RoleTable.h"

namespace pellam {

std::string RoleTable::RoleName(std::int16_t n) const
{
    static const char* const kDefaults[9]
        = {nullptr, "Family", "Hostage", "Involved", "Other", "Parent", "Victim", "Witness", "UNK"};
    if (n < 0 || n > 8)
        return std::string();
    if (!RoleNames[static_cast<std::size_t>(n)].empty())
        return RoleNames[static_cast<std::size_t>(n)];
    return n == 0 ? RoleName0 : kDefaults[n];
}

} // namespace pellam
