#include "media/Mp3Duration.h"

#include "base/FileDescriptor.h"
#include "base/Rounding.h"
#include "media/Mp3FileSource.h"

#include <mpg123.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace pellam {
namespace {

struct HandleCloser {
    void operator()(mpg123_handle* h) const
    {
        mpg123_close(h);
        mpg123_delete(h);
    }
};
using Handle = std::unique_ptr<mpg123_handle, HandleCloser>;

SystemError Refused(const char* reason)
{
    return SystemError::Content(reason);
}

std::int64_t BigEndian32(const unsigned char* p)
{
    return (std::int64_t {p[0]} << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

// Where the stream the info tag describes ends: the info frame's offset plus
// the byte count the tag states (the info frame and every frame after it).
// -1 when the first frame after the ID3v2 tags carries no info tag or the
// tag states no byte count.
std::int64_t StatedStreamEnd(const FileDescriptor& file)
{
    std::int64_t at = 0;
    unsigned char id3[10];
    while (file.ReadExactlyAt(at, id3, sizeof id3) && id3[0] == 'I' && id3[1] == 'D' && id3[2] == '3') {
        if ((id3[6] | id3[7] | id3[8] | id3[9]) & 0x80)
            return -1;
        const std::int64_t size = (id3[6] << 21) | (id3[7] << 14) | (id3[8] << 7) | id3[9];
        at += 10 + size + (id3[5] & 0x10 ? 10 : 0); // header, body and the footer when flagged
    }
    // Frame header, CRC, side information, then "Xing" or "Info", the flags,
    // the frame count (flag 1) and the byte count (flag 2).
    unsigned char f[64];
    if (!file.ReadExactlyAt(at, f, sizeof f) || f[0] != 0xFF || (f[1] & 0xE0) != 0xE0 || ((f[1] >> 1) & 3) != 1)
        return -1;
    const bool mpeg1 = ((f[1] >> 3) & 3) == 3;
    const bool mono = (f[3] >> 6) == 3;
    std::size_t pos = 4 + (f[1] & 1 ? 0 : 2) + (mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17));
    if (std::memcmp(f + pos, "Xing", 4) != 0 && std::memcmp(f + pos, "Info", 4) != 0)
        return -1;
    const std::int64_t flags = BigEndian32(f + pos + 4);
    pos += 8 + (flags & 1 ? 4 : 0);
    return flags & 2 ? at + BigEndian32(f + pos) : -1;
}

} // namespace

std::string DurationText(std::int64_t seconds)
{
    if (seconds < 0)
        seconds = 0;
    char buf[32];
    std::snprintf(
        buf, sizeof buf, "%02lld:%02lld", static_cast<long long>(seconds / 60), static_cast<long long>(seconds % 60));
    return buf;
}

Result<Mp3Length, SystemError> ScanMp3(const std::string& path, std::stop_token stop)
{
    // libmpg123 would happily "open" a folder or wait on a FIFO; only regular
    // files with content are recordings. The library reads through a
    // block buffer of ours.
    auto file = FileDescriptor::OpenForReading(path);
    if (!file)
        return fail(file.error());
    const std::int64_t size = file.value().Size();
    if (size <= 0)
        return fail(Refused("the file is empty"));
    Mp3FileSource source; // declared before the handle, so it outlives it
    int err = MPG123_OK;
    Handle h(mpg123_new(nullptr, &err));
    if (!h)
        return fail(Refused("the MPEG decoder could not be set up"));
    // No messages on stderr; keep the encoder's gapless information so the
    // length is the audio the encoder was given. Until the first frame is
    // found no hunting for frames: in data that is no MP3 it would find
    // frame headers by chance.
    mpg123_param(h.get(), MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS | MPG123_NO_RESYNC, 0.0);
    if (!source.Open(path, std::move(stop)) || !source.Attach(h.get()))
        return fail(Refused("the MPEG decoder could not read the file"));
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(h.get(), &rate, &channels, &encoding) != MPG123_OK || rate <= 0)
        return fail(Refused("no MPEG audio frame"));
    // An MP3 recording is MPEG audio layer III; frame headers found by chance
    // in other data are mostly of the other layers.
    mpg123_frameinfo2 info {};
    if (mpg123_info2(h.get(), &info) != MPG123_OK || info.layer != 3)
        return fail(Refused("not MPEG audio layer III"));
    // An encoder delay is known only from the encoder's info tag, and that
    // tag states the frame count; without it the count before the scan is a
    // guess from the file's size.
    long delay = -1;
    double unused = 0.0;
    const bool tagged = mpg123_getstate(h.get(), MPG123_ENC_DELAY, &delay, &unused) == MPG123_OK && delay >= 0;
    const off_t stated = tagged ? mpg123_framelength(h.get()) : -1;
    // From here on a damaged frame or junk between frames is passed over up
    // to the next frame, as players do.
    mpg123_param(h.get(), MPG123_REMOVE_FLAGS, MPG123_NO_RESYNC, 0.0);
    if (mpg123_scan(h.get()) != MPG123_OK)
        return fail(Refused("the frames could not be scanned"));
    const off_t samples = mpg123_length(h.get());
    const off_t frames = mpg123_framelength(h.get());
    if (samples <= 0 || frames <= 0)
        return fail(Refused("no audio samples"));
    Mp3Length length {static_cast<std::int64_t>(samples), static_cast<std::int64_t>(rate),
        static_cast<std::int64_t>(frames), stated > 0 ? static_cast<std::int64_t>(stated) : -1, false, channels};
    // Frames missing are a cut only when bytes are missing too: a damaged
    // frame in a whole file also loses frames.
    if (length.statedFrames > length.frames) {
        const std::int64_t streamEnd = StatedStreamEnd(file.value());
        length.cutShort = streamEnd < 0 || size < streamEnd;
    }
    return length;
}

std::string CutShortNote(std::int64_t frames, std::int64_t statedFrames)
{
    return "cut short: " + std::to_string(frames) + " of " + std::to_string(statedFrames) + " frames";
}

DurationAnswer Mp3DurationAnswer(const std::string& path, std::stop_token stop)
{
    const auto length = ScanMp3(path, std::move(stop));
    if (!length)
        return {kUnknownDuration, {}};
    return {DurationText(DivRoundHalfEven(length->samples, length->rate)),
        length->cutShort ? CutShortNote(length->frames, length->statedFrames) : std::string()};
}

std::string Mp3DurationText(const std::string& path, std::stop_token stop)
{
    return Mp3DurationAnswer(path, std::move(stop)).text;
}

} // namespace pellam
