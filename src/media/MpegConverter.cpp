#include "media/MpegConverter.h"

#include <algorithm>

#include <mpg123.h>

namespace pellam {
namespace {

bool LibraryReady()
{
    static const bool ready = mpg123_init() == MPG123_OK;
    return ready;
}

// Source bytes are fed to the decoder in pieces of at most this size, and only
// when it needs more, so what is not fed stays with the caller as leftover.
constexpr std::size_t kFeedPiece = 4096;

class MpegConverter final : public PcmConverter {
public:
    MpegConverter(mpg123_handle* handle, const WaveFormat& source)
        : m_handle(handle), m_frameBytes(std::size_t {2} * source.channels), m_sourcePerSecond(source.avgBytesPerSec),
          m_outputPerSecond(std::size_t {2} * source.channels * source.samplesPerSec)
    { }

    ~MpegConverter() override { mpg123_delete(m_handle); }

    MpegConverter(const MpegConverter&) = delete;
    MpegConverter& operator=(const MpegConverter&) = delete;

    std::size_t SourceSizeFor(std::size_t destinationBytes) const override
    {
        // The header's average rate is only an estimate of a compressed
        // stream; asking for three quarters of it keeps one block's output
        // inside the destination even where the bit rate runs high, so the
        // decoder seldom holds decoded samples back. Without a rate, assume a
        // ratio of 1:11 (128 kbit/s for 44.1 kHz stereo).
        if (m_sourcePerSecond == 0)
            return std::max<std::size_t>(1, destinationBytes / 11);
        const double part = static_cast<double>(destinationBytes) / static_cast<double>(m_outputPerSecond);
        return std::max<std::size_t>(1, static_cast<std::size_t>(part * static_cast<double>(m_sourcePerSecond) * 0.75));
    }

    ConvertResult Convert(
        std::span<const std::uint8_t> source, std::span<std::uint8_t> destination, unsigned /*flags*/) override
    {
        ConvertResult r {true, 0, 0};
        const std::size_t room = destination.size() / m_frameBytes * m_frameBytes;
        // Each pass either feeds, produces or stops; the bound only guards
        // against a decoder that keeps answering without doing either.
        int idle = 0;
        while (r.produced < room && idle < 8) {
            std::size_t done = 0;
            const int rc
                = mpg123_decode(m_handle, nullptr, 0, destination.data() + r.produced, room - r.produced, &done);
            r.produced += done;
            idle = done > 0 ? 0 : idle + 1;
            if (rc == MPG123_NEED_MORE) {
                if (r.sourceUsed == source.size())
                    break;
                const std::size_t piece = std::min(kFeedPiece, source.size() - r.sourceUsed);
                if (mpg123_feed(m_handle, source.data() + r.sourceUsed, piece) != MPG123_OK) {
                    r.ok = false;
                    break;
                }
                r.sourceUsed += piece;
                idle = 0;
            } else if (rc == MPG123_ERR) {
                // Garbage the decoder cannot step over; what this block held is lost.
                r.sourceUsed = source.size();
                r.ok = false;
                break;
            }
            // MPG123_OK and MPG123_NEW_FORMAT: go on decoding.
        }
        // A full destination may leave decoded samples inside the decoder and
        // source not yet fed: both still come out on the next call.
        m_full = r.ok && r.produced >= room;
        return r;
    }

    bool MoreAfterEnd(std::size_t unusedSource) const override { return m_full || unusedSource > 0; }

private:
    mpg123_handle* m_handle;
    std::size_t m_frameBytes;
    std::size_t m_sourcePerSecond;
    std::size_t m_outputPerSecond;
    bool m_full = false;
};

} // namespace

std::unique_ptr<PcmConverter> MakeMpegConverter(const WaveFormat& source)
{
    if (source.channels < 1 || source.channels > 2 || !LibraryReady())
        return nullptr;
    mpg123_handle* h = mpg123_new(nullptr, nullptr);
    if (!h)
        return nullptr;
    // Quiet, no gap trimming (the WAVE holds plain frames), and exactly the
    // file's rate and channels in signed 16-bit.
    const bool ready = mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET, 0) == MPG123_OK
        && mpg123_param(h, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0) == MPG123_OK && mpg123_format_none(h) == MPG123_OK
        && mpg123_format(h, static_cast<long>(source.samplesPerSec), source.channels == 1 ? MPG123_MONO : MPG123_STEREO,
               MPG123_ENC_SIGNED_16)
            == MPG123_OK
        && mpg123_open_feed(h) == MPG123_OK;
    if (!ready) {
        mpg123_delete(h);
        return nullptr;
    }
    return std::make_unique<MpegConverter>(h, source);
}

} // namespace pellam
