#include "audio/DecodeCache.h"

#include "checksums/clsCRC.h"
#include "workspace/WorkFolder.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sys/statvfs.h>
#include <unistd.h>

namespace pellam {
namespace {

// Bytes as megabytes with one decimal, as the operator reads sizes.
std::string Megabytes(std::uint64_t bytes)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f MB", static_cast<double>(bytes) / 1048576.0);
    return buf;
}

} // namespace

std::optional<std::uint64_t> FreeBytes(const FolderPath& folder)
{
    struct statvfs st { };
    if (::statvfs(folder.str().c_str(), &st) != 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(st.f_bavail) * st.f_frsize;
}

DecodeCache::DecodeCache(const FolderPath& folder, CacheLimits limits, FreeSpaceSource freeSpace, int pid)
    : m_folder(folder), m_limits(limits), m_freeSpace(std::move(freeSpace)),
      m_pid(pid != 0 ? pid : static_cast<int>(::getpid()))
{ }

DecodeCache::~DecodeCache()
{
    Clear();
}

void DecodeCache::Clear()
{
    for (const CachedRecording& entry : m_entries)
        ::unlink(entry.wavPath.c_str());
    m_entries.clear();
    // Whatever else carries this process's name in the folder is ours too (a
    // decode cut off on its way).
    std::error_code ec;
    if (m_folder.empty())
        return;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder.str(), ec))
        if (TempWavOwner(entry.path().filename().string()) == m_pid)
            std::filesystem::remove(entry.path(), ec);
}

std::int64_t DecodeCache::Bytes() const
{
    std::int64_t total = 0;
    for (const CachedRecording& entry : m_entries)
        total += entry.bytes;
    return total;
}

const CachedRecording* DecodeCache::Find(const std::string& recording)
{
    const auto stamp = StampOf(recording);
    if (!stamp)
        return nullptr;
    std::optional<std::int32_t> crc; // read only when size and time match an entry
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->key.size != stamp->size || it->key.modifiedNs != stamp->modifiedNs)
            continue;
        if (!crc) {
            clsCRC reader;
            const auto value = reader.CalculateFile(recording);
            if (!value)
                return nullptr;
            crc = *value;
        }
        if (it->key.crc != *crc)
            continue;
        // A file deleted behind our back is no longer held.
        if (::access(it->wavPath.c_str(), R_OK) != 0) {
            m_entries.erase(it);
            return nullptr;
        }
        it->lastUse = ++m_clock;
        return &*it;
    }
    return nullptr;
}

void DecodeCache::DropLeastRecent()
{
    const auto oldest = std::min_element(m_entries.begin(), m_entries.end(),
        [](const CachedRecording& a, const CachedRecording& b) { return a.lastUse < b.lastUse; });
    ::unlink(oldest->wavPath.c_str());
    m_entries.erase(oldest);
}

Result<std::string, std::string> DecodeCache::Reserve(std::int64_t bytes)
{
    if (m_folder.empty())
        return fail(std::string("there is no working folder"));
    if (bytes > m_limits.maxBytes)
        return fail("the recording decodes to " + Megabytes(static_cast<std::uint64_t>(bytes)) + ", more than the "
            + Megabytes(static_cast<std::uint64_t>(m_limits.maxBytes)) + " kept for decoded recordings");
    const auto fits = [&] {
        if (Bytes() + bytes > m_limits.maxBytes)
            return false;
        const auto free = m_freeSpace ? m_freeSpace(m_folder) : std::nullopt;
        return !free || static_cast<std::int64_t>(*free) >= bytes + m_limits.keepFree;
    };
    while (!fits() && !m_entries.empty())
        DropLeastRecent();
    if (!fits()) {
        const auto free = m_freeSpace ? m_freeSpace(m_folder).value_or(0) : 0;
        return fail("the working folder has " + Megabytes(free) + " free, the recording needs "
            + Megabytes(static_cast<std::uint64_t>(bytes + m_limits.keepFree)) + " with the margin kept free");
    }
    return m_folder.Join(TempWavName(m_pid, ++m_serial));
}

bool DecodeCache::Keep(RecordingDecode& decode)
{
    const DecodeStatus status = decode.Status();
    if (decode.Released() || status.phase != DecodePhase::Done || !status.kept || !status.key)
        return false;
    const auto stamp = StampOf(decode.WavPath());
    if (!stamp)
        return false;
    decode.ReleaseFile();
    m_entries.push_back({decode.WavPath(), *status.key, stamp->size, decode.Trace(), ++m_clock});
    return true;
}

} // namespace pellam
