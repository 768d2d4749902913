#include "media/Mp3FileSource.h"

#include <mpg123.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace pellam {
namespace {

ssize_t ReadSource(void* source, void* out, std::size_t n)
{
    return static_cast<Mp3FileSource*>(source)->Read(out, n);
}

off_t SeekSource(void* source, off_t offset, int whence)
{
    return static_cast<Mp3FileSource*>(source)->Seek(offset, whence);
}

} // namespace

bool Mp3FileSource::Open(const std::string& path, std::stop_token stop)
{
    m_stop = std::move(stop);
    auto fd = FileDescriptor::OpenForReading(path);
    if (!fd)
        return false;
    m_fd = std::move(fd.value());
    m_block = std::make_unique_for_overwrite<unsigned char[]>(kBlock);
    m_begin = m_end = 0;
    m_fileEnd = 0;
    return true;
}

bool Mp3FileSource::Attach(mpg123_handle_struct* handle)
{
    // No cleanup callback: the caller owns the source.
    return m_fd.valid() && mpg123_replace_reader_handle(handle, &ReadSource, &SeekSource, nullptr) == MPG123_OK
        && mpg123_open_handle(handle, this) == MPG123_OK;
}

ssize_t Mp3FileSource::Read(void* out, std::size_t n)
{
    auto* bytes = static_cast<unsigned char*>(out);
    std::size_t done = 0;
    while (done < n) {
        if (m_begin == m_end) {
            if (m_stop.stop_requested())
                return done > 0 ? static_cast<ssize_t>(done) : -1;
            // A request of a block or more goes straight to the caller's memory.
            const bool direct = n - done >= kBlock;
            const std::int64_t got = m_fd.ReadSome(direct ? bytes + done : m_block.get(), direct ? n - done : kBlock);
            if (got < 0)
                return done > 0 ? static_cast<ssize_t>(done) : -1;
            if (got == 0)
                break;
            m_fileEnd += got;
            if (direct) {
                m_begin = m_end = 0; // the block no longer holds the bytes before m_fileEnd
                done += static_cast<std::size_t>(got);
                continue;
            }
            m_begin = 0;
            m_end = static_cast<std::size_t>(got);
        }
        const std::size_t take = std::min(n - done, m_end - m_begin);
        std::memcpy(bytes + done, m_block.get() + m_begin, take);
        m_begin += take;
        done += take;
    }
    return static_cast<ssize_t>(done);
}

off_t Mp3FileSource::Seek(off_t offset, int whence)
{
    std::int64_t target = offset;
    if (whence == SEEK_CUR)
        target += Position();
    else if (whence == SEEK_END)
        target += m_fd.Size();
    else if (whence != SEEK_SET)
        return -1;
    if (target < 0)
        return -1;
    // Inside the buffered block: only the position within it moves.
    const std::int64_t blockStart = m_fileEnd - static_cast<std::int64_t>(m_end);
    if (target >= blockStart && target <= m_fileEnd) {
        m_begin = static_cast<std::size_t>(target - blockStart);
        return static_cast<off_t>(target);
    }
    if (::lseek(m_fd.get(), static_cast<off_t>(target), SEEK_SET) < 0)
        return -1;
    m_begin = m_end = 0;
    m_fileEnd = target;
    return static_cast<off_t>(target);
}

} // namespace pellam
