#pragma once
// Names of the ID3v1 genre numbers (0..147 with the common extension).
#include <string>

namespace pellam {

// The name of genre n; the empty text for 123 and every number from 148 on.
std::string Id3GenreName(int n);

} // namespace pellam
