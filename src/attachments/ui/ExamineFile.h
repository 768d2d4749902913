#pragma once
#include "workspace/ui/DesktopOpen.h"

#include <string>

namespace pellam {

// Hands `path` to the desktop; a missing file, at once, or a failed open,
// when the desktop's opener ends, shows the "File Load Error" message with its
// reason, the file and what the system said as its detail. False when the
// file is missing.
bool Examine(const std::string& path, DesktopOpener& desktop);

} // namespace pellam
