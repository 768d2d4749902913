#pragma once
// Paths as texts, and the one rule for names read from incident files. The
// folders the program keeps are FolderPath values (absolute, no trailing
// separator, names joined with exactly one "/"); the functions here take any
// path text, as given on a command line, by a dialog or by the system.
#include "base/FolderPath.h"
#include "base/Result.h"

#include <string>
#include <string_view>

namespace pellam {

// The last "/"-separated component of a path.
std::string BaseName(std::string_view path);

// An absolute form of a path given on a command line or by a dialog:
// relative paths are taken from the current folder; "." and ".." steps and
// doubled separators are removed and so is a trailing separator (the root
// stays "/"). An empty path stays empty.
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
Result<std::string, NameRefusal> NameInFolder(const FolderPath& folder, std::string_view name);

// Why `name` was refused, for a message's detail or a tooltip; the folder is
// named as the incident system's texts name folders, ending with "/".
std::string NameRefusalReason(NameRefusal refusal, std::string_view name, const FolderPath& folder);

} // namespace pellam
