#include "workspace/FolderListing.h"

#include "base/AsciiCase.h"
#include "base/PathText.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

namespace pellam {
bool FolderListing::Before(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(AsciiLower(a[i]));
        const auto cb = static_cast<unsigned char>(AsciiLower(b[i]));
        if (ca != cb)
            return ca < cb;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

Result<FolderListing, SystemError> FolderListing::Read(const FolderPath& folder)
{
    FolderListing listing;
    DIR* dir = ::opendir(folder.str().c_str());
    if (!dir)
        return fail(SystemError::Last());
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry) {
            const int err = errno;
            if (err != 0) { // a listing cut short is no listing
                ::closedir(dir);
                return fail(SystemError(err));
            }
            break;
        }
        const std::string name = entry->d_name;
        if (name.empty() || name == "." || name == "..")
            continue;
        if (name[0] == '.') {
            listing.m_hidden.push_back(name);
            continue;
        }
        // The entry's type comes with it on most file systems; links and
        // file systems that leave it out are asked with stat().
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            const std::string path = folder.Join(name);
            struct stat st { };
            regular = ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
            struct stat own { };
            if (regular && ::lstat(path.c_str(), &own) == 0 && S_ISLNK(own.st_mode)
                && !LiesWithin(folder.str(), path)) {
                listing.m_outside.push_back(name);
                continue;
            }
        }
        if (regular)
            listing.m_names.push_back(name);
        else
            listing.m_irregular.push_back(name);
    }
    ::closedir(dir);
    for (auto* names : {&listing.m_names, &listing.m_outside, &listing.m_irregular, &listing.m_hidden})
        std::sort(
            names->begin(), names->end(), [](const std::string& a, const std::string& b) { return Before(a, b); });
    return listing;
}

bool FolderListing::FileInList(std::string_view name) const
{
    return std::find(m_names.begin(), m_names.end(), name) != m_names.end();
}

std::vector<std::string> FolderListing::WithExtension(std::string_view ext) const
{
    std::vector<std::string> out;
    for (const auto& name : m_names) {
        const auto dot = name.rfind('.');
        if (dot == std::string::npos || name.size() - dot - 1 != ext.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < ext.size(); ++i)
            same = same && AsciiLower(name[dot + 1 + i]) == AsciiLower(ext[i]);
        if (same)
            out.push_back(name);
    }
    return out;
}

} // namespace pellam
