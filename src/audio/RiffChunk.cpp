#include "audio/RiffChunk.h"

#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "audio/WaveFormat.h"

namespace pellam {
namespace {

struct Fd {
    int fd;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

struct Header {
    char id[4];
    std::int64_t size;
};

bool ReadHeader(int fd, std::int64_t at, Header& h)
{
    std::uint8_t b[8];
    if (::pread(fd, b, sizeof b, static_cast<off_t>(at)) != static_cast<ssize_t>(sizeof b))
        return false;
    std::memcpy(h.id, b, 4);
    h.size = ReadLe32(b + 4);
    return true;
}

std::int64_t Padded(std::int64_t size)
{
    return size + (size & 1);
}

} // namespace

ChunkSpan LocateChunk(const std::string& path, const char (&id)[5])
{
    Fd f {::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    struct stat st { };
    if (f.fd < 0 || ::fstat(f.fd, &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    const std::int64_t fileSize = st.st_size;

    // The RIFF chunk of form "WAVE" among the top-level chunks.
    std::int64_t at = 0;
    std::int64_t riffEnd = -1;
    Header h {};
    while (at + 12 <= fileSize && ReadHeader(f.fd, at, h)) {
        char form[4];
        if (std::memcmp(h.id, "RIFF", 4) == 0 && ::pread(f.fd, form, 4, static_cast<off_t>(at + 8)) == 4
            && std::memcmp(form, "WAVE", 4) == 0) {
            // Writers that stream their output leave the size 0; then the
            // form runs to the end of the file.
            riffEnd = h.size >= 4 ? std::min(at + 8 + h.size, fileSize) : fileSize;
            at += 12;
            break;
        }
        at += 8 + Padded(h.size);
    }
    if (riffEnd < 0)
        return {};

    while (at + 8 <= riffEnd && ReadHeader(f.fd, at, h)) {
        if (std::memcmp(h.id, id, 4) == 0)
            return {at + 8, h.size};
        at += 8 + Padded(h.size);
    }
    return {};
}

} // namespace pellam
