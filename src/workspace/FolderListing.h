#pragma once
// The evidence folder listing: a snapshot of the names of the folder's
// regular files taken when the folder is chosen (the folder itself is kept
// once, in Paths::Evidence), as the review station's file list holds it.
// Hidden files (names beginning with ".") are not listed, nor links that
// lead out of the folder (a link may point anywhere: /proc, a device, another
// case); those and entries that are no regular file are kept aside by name so
// the operator can be told. Names are sorted
// alphabetically without regard to letter case, ties in byte order, so
// recording numbers follow this order.
#include "base/FolderPath.h"
#include "base/Result.h"
#include "base/SystemError.h"

#include <string>
#include <string_view>
#include <vector>

namespace pellam {

class FolderListing {
public:
    FolderListing() = default;
    // Reads the folder now. A folder that is missing, is no folder or cannot
    // be read is an error, never an empty listing.
    static Result<FolderListing, SystemError> Read(const FolderPath& folder);

    const std::vector<std::string>& names() const { return m_names; }
    bool empty() const { return m_names.empty(); }
    std::size_t size() const { return m_names.size(); }

    // Whether a file of that exact name (case-sensitive) is listed.
    bool FileInList(std::string_view name) const;
    // Names whose extension matches, without regard to case ("rmq" for "*.rmq").
    std::vector<std::string> WithExtension(std::string_view ext) const;

    // Links that resolve to a file outside the folder, not listed.
    const std::vector<std::string>& outside() const { return m_outside; }
    // Entries that are no regular file (folders, FIFOs, devices, broken or
    // looping links), not listed.
    const std::vector<std::string>& irregular() const { return m_irregular; }
    // Hidden entries (names beginning with "."; "." and ".." aside), not listed.
    const std::vector<std::string>& hidden() const { return m_hidden; }

    // Case-insensitive order of the listing.
    static bool Before(std::string_view a, std::string_view b);

private:
    std::vector<std::string> m_names;
    std::vector<std::string> m_outside;
    std::vector<std::string> m_irregular;
    std::vector<std::string> m_hidden;
};

} // namespace pellam
