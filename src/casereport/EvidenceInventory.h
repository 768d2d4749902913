#pragma once
// What the evidence folder holds, file by file: every entry under it
// (recursively, links not followed, in the byte order of their paths) with
// its size, modification time, CRC-32 and SHA-256, each read once. An entry
// that cannot be read stays in the list with the reason, so the inventory
// always accounts for everything the folder held.
#include "base/FolderPath.h"
#include "checksums/HashManifest.h"

#include <cstdint>
#include <memory>
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

// Lists the folder at once as the hash manifest lists it and hashes its files
// on threads of its own (or, with none, one file on each step), so a window
// shows the progress and stays responsive however large a file is.
class InventoryScan {
public:
    explicit InventoryScan(const FolderPath& evidence, unsigned threads = kManifestThreads);

    // Takes in what the hashing has done, waiting a moment for more; false
    // once every entry is done.
    bool Step();
    std::size_t Done() const;
    const std::vector<InventoryEntry>& Entries() const { return m_entries; }
    // The entries with a problem.
    std::size_t Problems() const;

private:
    std::vector<InventoryEntry> m_entries; // every entry, in path order
    std::vector<std::size_t> m_fileEntry; // the entry of the hashing's file i
    std::size_t m_unread = 0; // entries not to be read, known from the listing
    bool m_byHand;
    std::unique_ptr<ManifestHashing> m_hashing;
    bool m_taken = false;
};

} // namespace pellam
