#include "casereport/EvidenceInventory.h"

#include "base/SystemError.h"
#include "checksums/CrcText.h"
#include "checksums/Sha256.h"

#include <algorithm>
#include <cerrno>
#include <ctime>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pellam {
namespace {

const char* KindOf(mode_t mode)
{
    if (S_ISLNK(mode))
        return "a symbolic link, not followed";
    if (S_ISFIFO(mode))
        return "a named pipe, not read";
    if (S_ISSOCK(mode))
        return "a socket, not read";
    return "a device, not read";
}

// Every entry below `folder` (relative names under `prefix`), folders
// descended into, links and special files listed with why they were not read.
void List(const std::string& folder, const std::string& prefix, std::vector<InventoryEntry>& out)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) {
        out.push_back({prefix.empty() ? "." : prefix, 0, "", "", "", "folder not read: " + SystemError(errno).text});
        return;
    }
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const std::string path = folder + "/" + name;
        const std::string relative = prefix.empty() ? name : prefix + "/" + name;
        struct stat st { };
        if (::lstat(path.c_str(), &st) != 0) {
            out.push_back({relative, 0, "", "", "", SystemError(errno).text});
        } else if (S_ISDIR(st.st_mode)) {
            List(path, relative, out);
        } else {
            InventoryEntry entry {relative, static_cast<std::uint64_t>(st.st_size), UtcText(st.st_mtime), "", "", ""};
            if (!S_ISREG(st.st_mode))
                entry.problem = KindOf(st.st_mode);
            out.push_back(std::move(entry));
        }
    }
}

} // namespace

std::string UtcText(std::int64_t seconds)
{
    const auto t = static_cast<std::time_t>(seconds);
    std::tm utc {};
    gmtime_r(&t, &utc);
    char text[32];
    return std::string(text, std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &utc));
}

InventoryScan::InventoryScan(const FolderPath& evidence) : m_evidence(evidence)
{
    // Names sorted per folder and folders taken where they sort give the
    // byte order of whole paths but for names that sort before "/"; one
    // sort of the whole list settles those.
    List(evidence.str(), "", m_entries);
    std::stable_sort(m_entries.begin(), m_entries.end(),
        [](const InventoryEntry& a, const InventoryEntry& b) { return a.path < b.path; });
}

void InventoryScan::SkipUnread()
{
    while (m_next < m_entries.size() && !m_entries[m_next].problem.empty())
        ++m_next;
}

bool InventoryScan::Step()
{
    SkipUnread();
    if (m_next >= m_entries.size())
        return false;
    InventoryEntry& entry = m_entries[m_next++];
    const auto sums = SumsOfFile(m_evidence.Join(entry.path));
    if (!sums) {
        entry.problem = sums.error().text;
    } else {
        entry.size = sums->size;
        entry.crc32 = CrcValueText(sums->crc32);
        entry.sha256 = Sha256Hex(sums->sha256);
    }
    SkipUnread();
    return m_next < m_entries.size();
}

std::size_t InventoryScan::Problems() const
{
    return static_cast<std::size_t>(
        std::count_if(m_entries.begin(), m_entries.end(), [](const InventoryEntry& e) { return !e.problem.empty(); }));
}

} // namespace pellam
