#pragma once
// Labels of the nine person roles (0..8). Role 0's label comes from the
// system configuration or the records file ("Subject" by default, "Target"
// when the statistics page cannot reload the records).
#include <array>
#include <cstdint>
#include <string>

namespace pellam {

struct RoleTable {
    std::array<std::string, 9> RoleNames; // filled by SetRoleNames / records load
    std::string RoleName0 = "Subject";

    // The label of role n (0..8): the table's entry, else the default.
    std::string RoleName(std::int16_t n) const;
};

} // namespace pellam
