#pragma once
// A folder of this machine as the program keeps it: an absolute path without
// a trailing separator (the root stays "/"), onto which names are joined with
// exactly one "/". The bytes of the path are kept as they are, never
// re-encoded. The incident system writes folder texts ending with their
// separator; WithSeparator() gives that form where such a text is shown.
// Folder texts of the incident system's machine ("C:\...\") are no
// FolderPath: they are turned into one where they are read.
#include <string>
#include <string_view>

namespace pellam {

class FolderPath {
public:
    // No folder (not known yet, or none found).
    FolderPath() = default;
    // `path` as a folder: trailing separators dropped, the root kept as "/".
    explicit FolderPath(std::string_view path);

    bool empty() const { return m_path.empty(); }
    // Without a trailing separator; "/" for the root, "" for no folder.
    const std::string& str() const { return m_path; }

    // The path of `name` in this folder, with one "/" between them; without
    // a folder, "/" and the name.
    std::string Join(std::string_view name) const;
    // The folder `name` below this one.
    FolderPath Sub(std::string_view name) const { return FolderPath(Join(name)); }
    // The folder's text ending with "/", as the incident system's texts show
    // folders; "" for no folder.
    std::string WithSeparator() const;

    bool operator==(const FolderPath&) const = default;

private:
    std::string m_path;
};

// Whether `path` (that need not exist yet) is the folder `folder` or lies
// below it, links and ".." resolved on both sides.
bool LiesInside(const std::string& path, const FolderPath& folder);

} // namespace pellam
