#pragma once
// Paths as texts: the program keeps folders as absolute paths without a
// trailing separator and joins names onto them with exactly one "/".
#include "base/Result.h"

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

// Why a name read from an incident file (a photo, an attachment, a received
// file) does not stand for a file of the folder it belongs to.
enum class NameRefusal {
    NotAName, // empty, ".", "..", or holding a "/", a "\" or a NUL
    LeavesFolder, // what it reaches, links resolved, lies outside the folder
};

// The one rule for names taken from incident files: the path of `name` in
// `folder` when the name is a plain file name whose file, links resolved,
// lies inside the folder. The bytes of the name are kept as they are.
Result<std::string, NameRefusal> NameInFolder(std::string_view folder, std::string_view name);

// Why `name` was refused, for a message's detail or a tooltip.
std::string NameRefusalReason(NameRefusal refusal, std::string_view name, std::string_view folder);

} // namespace pellam
