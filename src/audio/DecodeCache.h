#pragma once
// The decoded recordings of this session, kept in the working folder so that
// going back to a recording plays it at once. Each is found by its
// recording's content: size, modification time and CRC-32, so a recording
// that changed is decoded again and a copy of one already decoded is not.
// The cache holds at most a set number of bytes and leaves a margin of the
// folder's free space; the least recently used recordings make room for a
// new one. Every file it holds is deleted when it goes.
#include "audio/RecordingDecode.h"
#include "audio/WaveformTrace.h"
#include "base/FolderPath.h"
#include "base/Result.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pellam {

// Bytes this process may still write in a folder; nullopt when the system
// cannot say.
using FreeSpaceSource = std::function<std::optional<std::uint64_t>(const FolderPath& folder)>;
std::optional<std::uint64_t> FreeBytes(const FolderPath& folder);

struct CacheLimits {
    std::int64_t maxBytes = 4LL << 30; // all decoded files together
    std::int64_t keepFree = 1LL << 30; // never fill the folder's file system beyond this
};

struct CachedRecording {
    std::string wavPath;
    RecordingKey key;
    std::int64_t bytes = 0;
    std::shared_ptr<const DecodedTrace> trace;
    std::uint64_t lastUse = 0;
};

class DecodeCache {
public:
    // folder is read at each use (the working folder is made at start-up,
    // after the cache); pid names the files (our own process id when 0): a
    // process keeps one cache, whose names are its own.
    DecodeCache(const FolderPath& folder, CacheLimits limits = {}, FreeSpaceSource freeSpace = FreeBytes, int pid = 0);
    ~DecodeCache();
    DecodeCache(const DecodeCache&) = delete;
    DecodeCache& operator=(const DecodeCache&) = delete;

    // The kept decode of this recording, when its content is the one that
    // was decoded; it counts as used now.
    const CachedRecording* Find(const std::string& recording);
    // A new file name for a decode of about `bytes`, after dropping the least
    // recently used recordings as far as needed; why not, when even an empty
    // cache could not hold it.
    Result<std::string, std::string> Reserve(std::int64_t bytes);
    // Takes over the file of a decode that ended and kept it; false (and the
    // file stays the decode's) for any other.
    bool Keep(RecordingDecode& decode);
    // Deletes every file held, and any other of this process's decoded files in the folder.
    void Clear();

    std::int64_t Bytes() const;
    std::size_t Count() const { return m_entries.size(); }

private:
    void DropLeastRecent();

    const FolderPath& m_folder;
    CacheLimits m_limits;
    FreeSpaceSource m_freeSpace;
    int m_pid;
    int m_serial = 0;
    std::uint64_t m_clock = 0;
    std::vector<CachedRecording> m_entries;
};

} // namespace pellam
