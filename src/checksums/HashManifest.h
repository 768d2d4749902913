#pragma once
// A hash manifest of an evidence folder: every regular file under it, found
// without following a link, with its SHA-256 and CRC-32 from one read. It is
// written as sha256sum writes its lines, so `sha256sum -c` run in the folder
// checks it, or as a DFXML document with each file's size and modification
// time beside its hashes.
//
// The hashing is a job of steps, one file each: on threads of its own (one
// per core the examiner's machine gives it) or on each Step() where the caller
// drives it.
#include "base/Result.h"
#include "base/SystemError.h"
#include "checksums/Sha256.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

namespace pellam {

// A regular file of the folder, as listed.
struct ManifestFile {
    std::string path; // relative to the folder, "/"-separated, the names' exact bytes
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0; // since 1970-01-01 UTC
};

// Something under the folder the manifest cannot hold: a subfolder that
// cannot be listed, a pipe, socket or device, or a file that cannot be read.
struct ManifestProblem {
    std::string path; // relative to the folder
    SystemError error;
};

struct FolderFiles {
    std::vector<ManifestFile> files; // sorted by path, byte by byte
    std::vector<ManifestProblem> problems;
    std::vector<std::string> links; // passed over, for a listing that names them
};

// Lists every regular file under `folder`, through its subfolders; links are
// passed over, neither listed nor followed. Fails when the folder itself
// cannot be listed.
Result<FolderFiles, SystemError> ListFolderFiles(const std::string& folder);

// One file's line of the manifest.
struct ManifestEntry {
    ManifestFile file; // size and time as the file was when it was read
    FileSums sums;
    std::optional<SystemError> error; // the file could not be read: no sums
};

class ManifestHashing {
public:
    // Hashes the listed files of `folder` on `threads` threads of its own, or
    // with none on each Step().
    ManifestHashing(std::string folder, std::vector<ManifestFile> files, unsigned threads);
    // Stops the threads inside the file they read, at the next block, and joins them.
    ~ManifestHashing();
    ManifestHashing(const ManifestHashing&) = delete;
    ManifestHashing& operator=(const ManifestHashing&) = delete;

    // Hashes the next file; false when none is left.
    bool Step();
    // Ends the work at its next block; it never finishes then.
    void Stop();

    bool Finished() const;
    // Blocks until every file has been hashed (or the job was stopped).
    void Wait();
    // Blocks until one more file is done, the job ends, or `timeout` passes.
    void WaitForProgress(std::chrono::milliseconds timeout);
    std::size_t FilesDone() const;
    // Bytes of the files done so far, and of all of them as listed.
    std::uint64_t BytesDone() const;
    std::uint64_t BytesTotal() const { return m_totalBytes; }
    // In path order, once Finished().
    const std::vector<ManifestEntry>& Entries() const { return m_entries; }

private:
    void Run(const std::stop_token& stop);

    const std::string m_folder;
    std::vector<ManifestEntry> m_entries; // entry i is written by the one step that took it
    std::uint64_t m_totalBytes = 0;
    std::stop_source m_stop;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::size_t m_next = 0; // the next file to take
    std::size_t m_done = 0; // files whose step has ended
    std::uint64_t m_bytesDone = 0;
    std::vector<std::jthread> m_threads; // last: they start once everything above is set up
};

// Two files are hashed at once: two cores' worth from memory, while a drive
// that still has to deliver the files is asked for no more than two at a time.
inline constexpr unsigned kManifestThreads = 2;

// The files hashed and the problems met on the way (listing and reading),
// each list in path order.
struct Manifest {
    std::vector<ManifestEntry> entries;
    std::vector<ManifestProblem> problems;
};

// Lists and hashes the folder on `threads` threads, waiting for the end.
Result<Manifest, SystemError> MakeManifest(const std::string& folder, unsigned threads);

// The listing's problems and the files of `entries` that could not be read,
// in path order.
std::vector<ManifestProblem> AllProblems(
    std::vector<ManifestProblem> listing, const std::vector<ManifestEntry>& entries);

// The manifest as sha256sum writes it: per file read, the hex digest, two
// blanks and the path; a path holding a backslash or a line break is written
// with them escaped and the line begins with a backslash, as sha256sum does.
std::string Sha256sumText(const std::vector<ManifestEntry>& entries);

// The manifest as a DFXML document: a fileobject per file with its filename,
// filesize, mtime (UTC) and its sha256 and crc32 hashdigests; a file that
// could not be read has an error element instead of hashes. A name that is
// not UTF-8 is shown as Windows-1252 text, as the incident system names its
// files, with the attribute encoding="windows-1252".
std::string DfxmlText(const std::vector<ManifestEntry>& entries);

} // namespace pellam
