#pragma once
// What the evidence folder holds, file by file: every entry under it
// (recursively, links not followed, in the byte order of their paths) with
// its size, modification time, CRC-32 and SHA-256, each read once. An entry
// that cannot be read stays in the list with the reason, so the inventory
// always accounts for everything the folder held.
#include "base/FolderPath.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pellam {

struct InventoryEntry {
    std::string path; // relative to the evidence folder, "/" between names, the name's own bytes
    std::uint64_t size = 0;
    std::string modified; // "2026-12-05 14:50:12 UTC"
    std::string crc32; // as the recording list writes a CRC ("6E FE 79 B4")
    std::string sha256; // lower-case hex
    std::string problem; // why it was not read; "" when it was
};

// The modification time as the inventory writes it: UTC, to the second, so
// examiners in other time zones read the same text.
std::string UtcText(std::int64_t seconds);

// Lists the folder at once and reads one file per step, so a window can show
// its progress and stay responsive.
class InventoryScan {
public:
    explicit InventoryScan(const FolderPath& evidence);

    // Reads the next file; false once every entry is done.
    bool Step();
    std::size_t Done() const { return m_next; }
    const std::vector<InventoryEntry>& Entries() const { return m_entries; }
    // The entries with a problem.
    std::size_t Problems() const;

private:
    // Past the entries listed as not to be read.
    void SkipUnread();

    FolderPath m_evidence;
    std::vector<InventoryEntry> m_entries;
    std::size_t m_next = 0;
};

} // namespace pellam
