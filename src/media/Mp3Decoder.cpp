#include "media/Mp3Decoder.h"

#include "media/Mp3FileSource.h"

#include <mpg123.h>

#include <cerrno>

namespace pellam {

struct Mp3Decoder::State {
    Mp3FileSource source; // before the handle, so it outlives the handle's use of it
    mpg123_handle* handle = nullptr;
    long rate = 0;
    int channels = 0;
    bool scanned = false;

    ~State()
    {
        if (handle) {
            mpg123_close(handle);
            mpg123_delete(handle);
        }
    }
};

Mp3Decoder::Mp3Decoder(std::unique_ptr<State> state) : m(std::move(state)) { }
Mp3Decoder::~Mp3Decoder() = default;

Result<std::unique_ptr<Mp3Decoder>, SystemError> Mp3Decoder::Open(const std::string& path, std::stop_token stop)
{
    // The system's reason for a file that cannot be opened, before the decoder is asked.
    if (auto probe = FileDescriptor::OpenForReading(path); !probe)
        return fail(probe.error());
    auto s = std::make_unique<State>();
    int err = MPG123_OK;
    s->handle = mpg123_new(nullptr, &err);
    if (!s->handle)
        return fail(SystemError(ENOSYS, "the MPEG decoder could not be set up"));
    mpg123_handle* h = s->handle;
    // No messages on stderr; the encoder's delay and padding are cut as the
    // encoder's info tag states them; no hunting for frames before the first
    // one, which in data that is no MP3 finds headers by chance.
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS | MPG123_NO_RESYNC, 0.0);
    // A seek table as fine as a long recording needs: an entry per 16 frames
    // at first, coarser only past 100 000 entries.
    mpg123_param(h, MPG123_INDEX_SIZE, 100000, 0.0);
    // 16-bit samples at whatever rate and channel count the file has.
    mpg123_format_none(h);
    const long* rates = nullptr;
    std::size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (std::size_t i = 0; i < rateCount; ++i)
        mpg123_format(h, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (!s->source.Open(path, std::move(stop)) || !s->source.Attach(h))
        return fail(SystemError::Content("the MPEG decoder could not read the file"));
    int encoding = 0;
    if (mpg123_getformat(h, &s->rate, &s->channels, &encoding) != MPG123_OK || s->rate <= 0 || s->channels < 1)
        return fail(SystemError::Content("no MPEG audio frame"));
    mpg123_frameinfo2 info {};
    if (mpg123_info2(h, &info) != MPG123_OK || info.layer != 3)
        return fail(SystemError::Content("not MPEG audio layer III"));
    // From the first frame on, a damaged frame or junk between frames is
    // passed over up to the next frame, as players do.
    mpg123_param(h, MPG123_REMOVE_FLAGS, MPG123_NO_RESYNC, 0.0);
    return std::unique_ptr<Mp3Decoder>(new Mp3Decoder(std::move(s)));
}

int Mp3Decoder::Rate() const
{
    return static_cast<int>(m->rate);
}

int Mp3Decoder::Channels() const
{
    return m->channels;
}

std::int64_t Mp3Decoder::Length() const
{
    const off_t length = mpg123_length(m->handle);
    return length >= 0 ? static_cast<std::int64_t>(length) : -1;
}

bool Mp3Decoder::Scan()
{
    m->scanned = mpg123_scan(m->handle) == MPG123_OK;
    return m->scanned;
}

bool Mp3Decoder::Scanned() const
{
    return m->scanned;
}

Mp3FrameIndex Mp3Decoder::Index() const
{
    off_t* offsets = nullptr;
    off_t step = 0;
    std::size_t fill = 0;
    Mp3FrameIndex index;
    if (mpg123_index(m->handle, &offsets, &step, &fill) != MPG123_OK || !offsets)
        return index;
    index.offsets.assign(offsets, offsets + fill);
    index.step = static_cast<std::int64_t>(step);
    return index;
}

bool Mp3Decoder::AdoptIndex(const Mp3FrameIndex& index)
{
    if (index.empty())
        return false;
    std::vector<off_t> offsets(index.offsets.begin(), index.offsets.end());
    return mpg123_set_index(m->handle, offsets.data(), static_cast<off_t>(index.step), offsets.size()) == MPG123_OK;
}

Mp3Chunk Mp3Decoder::Read(std::span<std::uint8_t> out)
{
    Mp3Chunk chunk;
    const std::size_t frame = static_cast<std::size_t>(FrameBytes());
    const std::size_t room = out.size() - out.size() % frame;
    while (chunk.bytes == 0 && !chunk.ended) {
        std::size_t done = 0;
        const int r = mpg123_read(m->handle, out.data(), room, &done);
        chunk.bytes = done - done % frame;
        if (r == MPG123_OK)
            continue;
        if (r == MPG123_NEW_FORMAT) {
            long rate = 0;
            int channels = 0;
            int encoding = 0;
            mpg123_getformat(m->handle, &rate, &channels, &encoding);
            if (rate != m->rate || channels != m->channels) {
                chunk.ended = true;
                chunk.error = "the recording changes from " + std::to_string(m->rate) + " Hz, "
                    + std::to_string(m->channels) + " channel(s) to " + std::to_string(rate) + " Hz, "
                    + std::to_string(channels) + " channel(s)";
            }
            continue;
        }
        chunk.ended = true;
        if (r != MPG123_DONE)
            chunk.error = mpg123_strerror(m->handle);
    }
    return chunk;
}

bool Mp3Decoder::Seek(std::int64_t sample)
{
    if (sample < 0)
        return false;
    const std::int64_t length = Length();
    if (m->scanned && sample > length)
        return false;
    return mpg123_seek(m->handle, static_cast<off_t>(sample), SEEK_SET) >= 0;
}

std::int64_t Mp3Decoder::Tell() const
{
    const off_t at = mpg123_tell(m->handle);
    return at >= 0 ? static_cast<std::int64_t>(at) : 0;
}

} // namespace pellam
