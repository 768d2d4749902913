#include "base/FileDescriptor.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pellam {

FileDescriptor::~FileDescriptor()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = other.release();
    }
    return *this;
}

int FileDescriptor::OpenKeepingAccessTime(const char* path, int flags)
{
    int fd = -1;
    do
        fd = ::open(path, flags | O_NOATIME);
    while (fd < 0 && errno == EINTR);
    if (fd >= 0 || errno != EPERM)
        return fd;
    do
        fd = ::open(path, flags);
    while (fd < 0 && errno == EINTR);
    return fd;
}

Result<FileDescriptor, SystemError> FileDescriptor::OpenForReading(const std::string& path, bool followLink)
{
    // O_NONBLOCK keeps the open itself from waiting for a FIFO's writer; it is
    // cleared again once the descriptor is known to be a regular file.
    FileDescriptor fd(OpenKeepingAccessTime(
        path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | (followLink ? 0 : O_NOFOLLOW)));
    if (!fd.valid())
        return fail(SystemError::Last());
    struct stat st { };
    if (::fstat(fd.get(), &st) != 0)
        return fail(SystemError::Last());
    if (S_ISDIR(st.st_mode))
        return fail(SystemError(EISDIR));
    if (!S_ISREG(st.st_mode))
        return fail(SystemError(EINVAL));
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags >= 0)
        ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

bool FileDescriptor::Close()
{
    const int fd = release();
    return fd < 0 || ::close(fd) == 0;
}

std::int64_t FileDescriptor::Size() const
{
    struct stat st { };
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0)
        return -1;
    return static_cast<std::int64_t>(st.st_size);
}

namespace {

// Reads until n bytes are in, the file ends or an error other than an
// interruption occurs; readPart(into, count, done) reads one piece.
template<typename ReadPart>
std::int64_t ReadFully(void* out, std::size_t n, ReadPart readPart)
{
    auto* bytes = static_cast<char*>(out);
    std::size_t done = 0;
    while (done < n) {
        const ssize_t got = readPart(bytes + done, n - done, done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<std::int64_t>(done);
}

} // namespace

std::int64_t FileDescriptor::ReadSome(void* out, std::size_t n) const
{
    return ReadFully(out, n, [this](char* into, std::size_t count, std::size_t) { return ::read(m_fd, into, count); });
}

std::int64_t FileDescriptor::ReadAt(std::int64_t offset, void* out, std::size_t n) const
{
    if (offset < 0)
        return -1;
    return ReadFully(out, n, [this, offset](char* into, std::size_t count, std::size_t done) {
        return ::pread(m_fd, into, count, static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
    });
}

bool FileDescriptor::ReadExactlyAt(std::int64_t offset, void* out, std::size_t n) const
{
    return ReadAt(offset, out, n) == static_cast<std::int64_t>(n);
}

bool FileDescriptor::WriteAll(const void* data, std::size_t n) const
{
    const auto* bytes = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < n) {
        const ssize_t put = ::write(m_fd, bytes + done, n - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        done += static_cast<std::size_t>(put);
    }
    return true;
}

} // namespace pellam
