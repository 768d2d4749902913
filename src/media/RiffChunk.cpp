#include "media/RiffChunk.h"

#include <algorithm>
#include <cstring>

#include "media/WaveFormat.h"

namespace pellam {
namespace {

struct Header {
    char id[4];
    std::int64_t size;
};

// The 8-byte chunk header at `at`; nothing at the end of the file.
Result<bool, ChunkError> ReadHeader(const FileDescriptor& file, std::int64_t at, Header& h)
{
    std::uint8_t b[8];
    const std::int64_t got = file.ReadAt(at, b, sizeof b);
    if (got < 0)
        return fail(ChunkError::ReadFailed);
    if (got != static_cast<std::int64_t>(sizeof b))
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

Result<ChunkSpan, ChunkError> LocateChunk(const FileDescriptor& file, const char (&id)[5])
{
    const std::int64_t fileSize = file.Size();
    if (fileSize < 0)
        return fail(ChunkError::ReadFailed);

    // The RIFF chunk of form "WAVE" among the top-level chunks.
    std::int64_t at = 0;
    std::int64_t riffEnd = -1;
    Header h {};
    while (at + 12 <= fileSize) {
        const auto header = ReadHeader(file, at, h);
        if (!header)
            return fail(header.error());
        if (!header.value())
            break;
        char form[4];
        if (std::memcmp(h.id, "RIFF", 4) == 0 && file.ReadExactlyAt(at + 8, form, 4)
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
        return fail(ChunkError::NotWave);

    while (at + 8 <= riffEnd) {
        const auto header = ReadHeader(file, at, h);
        if (!header)
            return fail(header.error());
        if (!header.value())
            break;
        if (std::memcmp(h.id, id, 4) == 0)
            return ChunkSpan {at + 8, h.size};
        at += 8 + Padded(h.size);
    }
    return fail(ChunkError::Missing);
}

} // namespace pellam
