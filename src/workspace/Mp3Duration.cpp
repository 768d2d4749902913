#include "workspace/Mp3Duration.h"

#include "base/ErrnoText.h"
#include "base/FileDescriptor.h"
#include "base/Rounding.h"
#include "workspace/Mp3FileSource.h"

#include <mpg123.h>

#include <cstdio>
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

Mp3ScanError Refused(const char* reason)
{
    return Mp3ScanError {0, reason};
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

Result<Mp3Length, Mp3ScanError> ScanMp3(const std::string& path, std::stop_token stop)
{
    // libmpg123 would happily "open" a folder or wait on a FIFO; only regular
    // files with content are recordings. The library reads through a
    // block buffer of ours.
    auto file = FileDescriptor::OpenForReading(path);
    if (!file)
        return fail(Mp3ScanError {file.error(), ErrnoText(file.error())});
    if (file.value().Size() <= 0)
        return fail(Refused("the file is empty"));
    Mp3FileSource source; // declared before the handle, so it outlives it
    int err = MPG123_OK;
    Handle h(mpg123_new(nullptr, &err));
    if (!h)
        return fail(Refused("the MPEG decoder could not be set up"));
    // No messages on stderr; keep the encoder's gapless information so the
    // length is the audio the encoder was given; no hunting for frames after
    // a damaged one, which in data that is no MP3 finds frame headers by chance.
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
    // A file whose leading frame announces its frame count (the encoder's
    // info frame) must hold all of it: fewer frames means the file was cut.
    long accurate = 0;
    double unused = 0.0;
    const bool announced = mpg123_getstate(h.get(), MPG123_ACCURATE, &accurate, &unused) == MPG123_OK && accurate;
    const off_t announcedSamples = announced ? mpg123_length(h.get()) : 0;
    if (mpg123_scan(h.get()) != MPG123_OK)
        return fail(Refused("the frames could not be scanned"));
    const off_t samples = mpg123_length(h.get());
    if (samples <= 0)
        return fail(Refused("no audio samples"));
    if (announced && samples < announcedSamples)
        return fail(Refused("the file holds fewer frames than it announces"));
    return Mp3Length {static_cast<std::int64_t>(samples), static_cast<std::int64_t>(rate)};
}

std::string Mp3DurationText(const std::string& path, std::stop_token stop)
{
    const auto length = ScanMp3(path, std::move(stop));
    if (!length)
        return kUnknownDuration;
    return DurationText(DivRoundHalfEven(length->samples, length->rate));
}

} // namespace pellam
