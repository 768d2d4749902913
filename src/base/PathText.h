#pragma once
// Paths as texts: the program keeps folders as absolute paths without a
// trailing separator and joins names onto them with exactly one "/".
#include <string>
#include <string_view>

namespace pellam {

// Joins a folder and a name with one "/".
std::string JoinPath(std::string_view folder, std::string_view name);

// The last "/"-separated component of a path.
std::string BaseName(std::string_view path);

// The folder as the incident system writes folder texts: ending with "/".
std::string WithTrailingSeparator(std::string_view folder);

// An absolute form of a path given on a command line or by a dialog:
// relative paths are taken from the current folder; "." and ".." steps and
// doubled separators are removed. An empty path stays empty.
std::string MakeAbsolute(std::string_view path);

// Whether `inner`, links resolved as far as it exists, lies below `folder`
// (or is the folder itself, when that counts). A name that only reaches the
// folder through ".." or a link leading out of it does not.
bool LiesWithin(std::string_view folder, std::string_view inner, bool folderItselfCounts = false);

} // namespace pellam
