#pragma once
// One owner for a POSIX file descriptor, and the reads and writes every
// reader of evidence needs: whole counts, retried when a signal interrupts.
#include "base/Result.h"
#include "base/SystemError.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace pellam {

class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : m_fd(fd) { }
    ~FileDescriptor();
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(other.release()) { }
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    // Opens a regular file for reading, keeping its access time (see
    // OpenKeepingAccessTime). A folder, a FIFO, a device or a socket is
    // refused (EISDIR, or EINVAL for the others) without blocking on it.
    // With `followLink` false a link as the path's last name is refused
    // (ELOOP) rather than followed.
    static Result<FileDescriptor, SystemError> OpenForReading(const std::string& path, bool followLink = true);

    // open(2) of `path` (its exact bytes) with `flags`, asking the system not
    // to update the file's access time, so reading evidence leaves no trace
    // on it. The system allows that only to the file's owner or a privileged
    // process: where it refuses (EPERM), the file is opened without it. The
    // descriptor, or -1 with errno set.
    static int OpenKeepingAccessTime(const char* path, int flags);

    bool valid() const { return m_fd >= 0; }
    int get() const { return m_fd; }
    int release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    // Closes now; false (errno set) when the system reports a failure.
    bool Close();

    // The file's size in bytes, or -1.
    std::int64_t Size() const;

    // Reads up to n bytes at the current offset; the count read (0 at the
    // end), or -1 on an error.
    std::int64_t ReadSome(void* out, std::size_t n) const;
    // Reads up to n bytes at offset, as many as the file holds there; the
    // count read, or -1 on an error.
    std::int64_t ReadAt(std::int64_t offset, void* out, std::size_t n) const;
    // Reads exactly n bytes at offset; false when the file ends first or on an error.
    bool ReadExactlyAt(std::int64_t offset, void* out, std::size_t n) const;
    // Writes all n bytes at the current offset.
    bool WriteAll(const void* data, std::size_t n) const;

private:
    int m_fd = -1;
};

} // namespace pellam
