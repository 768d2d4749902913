#include "casereport/EvidenceInventory.h"

#include "checksums/CrcText.h"
#include "checksums/Sha256.h"

#include <algorithm>
#include <ctime>

namespace pellam {

std::string UtcText(std::int64_t seconds)
{
    const auto t = static_cast<std::time_t>(seconds);
    std::tm utc {};
    gmtime_r(&t, &utc);
    char text[32];
    return std::string(text, std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &utc));
}

namespace {

// Whole seconds toward the past, as stat's seconds count.
std::string UtcTextOfNs(std::int64_t ns)
{
    return UtcText(ns >= 0 ? ns / 1'000'000'000 : (ns - 999'999'999) / 1'000'000'000);
}

} // namespace

InventoryScan::InventoryScan(const FolderPath& evidence, unsigned threads) : m_byHand(threads == 0)
{
    auto listed = ListFolderFiles(evidence.str());
    if (!listed) {
        m_entries.push_back({".", 0, "", "", "", "folder not read: " + listed.error().text});
        m_unread = 1;
        return;
    }
    FolderFiles& folder = listed.value();
    for (const ManifestFile& file : folder.files)
        m_entries.push_back({file.path, file.size, UtcTextOfNs(file.modifiedNs), "", "", ""});
    for (const ManifestProblem& problem : folder.problems)
        m_entries.push_back({problem.path, 0, "", "", "", problem.error.text});
    for (const std::string& link : folder.links)
        m_entries.push_back({link, 0, "", "", "", "a symbolic link, not followed"});
    m_unread = folder.problems.size() + folder.links.size();
    std::stable_sort(m_entries.begin(), m_entries.end(),
        [](const InventoryEntry& a, const InventoryEntry& b) { return a.path < b.path; });
    // The listing gives the files in path order, as they now stand among the rest.
    for (std::size_t i = 0, f = 0; i < m_entries.size() && f < folder.files.size(); ++i)
        if (m_entries[i].path == folder.files[f].path) {
            m_fileEntry.push_back(i);
            ++f;
        }
    m_hashing = std::make_unique<ManifestHashing>(evidence.str(), std::move(folder.files), threads);
}

bool InventoryScan::Step()
{
    if (m_taken || !m_hashing)
        return false;
    if (!m_hashing->Finished()) {
        if (m_byHand)
            m_hashing->Step();
        else
            m_hashing->WaitForProgress(std::chrono::milliseconds(10));
        if (!m_hashing->Finished())
            return true;
    }
    const std::vector<ManifestEntry>& hashed = m_hashing->Entries();
    for (std::size_t i = 0; i < hashed.size(); ++i) {
        InventoryEntry& entry = m_entries[m_fileEntry[i]];
        if (hashed[i].error) {
            entry.problem = hashed[i].error->text;
        } else {
            entry.size = hashed[i].sums.size;
            entry.modified = UtcTextOfNs(hashed[i].file.modifiedNs);
            entry.crc32 = CrcValueText(hashed[i].sums.crc32);
            entry.sha256 = Sha256Hex(hashed[i].sums.sha256);
        }
    }
    m_taken = true;
    return false;
}

std::size_t InventoryScan::Done() const
{
    if (m_taken || !m_hashing)
        return m_entries.size();
    return m_unread + m_hashing->FilesDone();
}

std::size_t InventoryScan::Problems() const
{
    return static_cast<std::size_t>(
        std::count_if(m_entries.begin(), m_entries.end(), [](const InventoryEntry& e) { return !e.problem.empty(); }));
}

} // namespace pellam
