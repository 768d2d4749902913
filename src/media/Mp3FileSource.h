#pragma once
// A recording handed to libmpg123 through a block buffer. Left to itself the
// library asks the system for every frame header and every frame body, two
// system calls per 26 ms of audio (4600 for a one-minute recording); through
// this source it copies them from a block read once.
#include "base/FileDescriptor.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stop_token>
#include <string>
#include <sys/types.h>

struct mpg123_handle_struct;

namespace pellam {

class Mp3FileSource {
public:
    static constexpr std::size_t kBlock = 64 * 1024;

    // Opens a regular file for reading; false for anything else or when it
    // cannot be opened. Once `stop` is requested every read fails, so a scan
    // of a long file ends at its next block.
    bool Open(const std::string& path, std::stop_token stop = {});
    // Opens the source on the handle (replacing its reader); the source must
    // outlive the handle's use of it. False when libmpg123 refuses.
    bool Attach(mpg123_handle_struct* handle);

    // The reader libmpg123 calls: up to n bytes, 0 at the end, -1 on an error.
    ssize_t Read(void* out, std::size_t n);
    // Moves the reading position (SEEK_SET, SEEK_CUR or SEEK_END); the new
    // position, or -1.
    off_t Seek(off_t offset, int whence);

private:
    // The reading position: where the buffered bytes not yet taken begin.
    std::int64_t Position() const { return m_fileEnd - static_cast<std::int64_t>(m_end - m_begin); }

    FileDescriptor m_fd;
    std::stop_token m_stop;
    std::unique_ptr<unsigned char[]> m_block;
    std::size_t m_begin = 0; // buffered bytes not yet taken: [m_begin, m_end)
    std::size_t m_end = 0;
    std::int64_t m_fileEnd = 0; // the file offset just past the buffered bytes
};

} // namespace pellam
