#pragma once
// Conversion of a WAVE file's stored samples to 16-bit PCM at the same rate
// and channel count. One converter per codec family, chosen by the format tag
// of the whole "fmt " payload (extra bytes after the 18-byte header included,
// since ADPCM and MPEG read their parameters there).
//
// A converter works block by block the way the stream reader feeds it: each
// call gets the source bytes waiting in the input buffer and room for output,
// and reports how many source bytes it used; the caller keeps the unused
// bytes and hands them back, in front of new ones, on the next call.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "media/WaveFormat.h"

namespace pellam {

enum ConvertFlags : unsigned {
    kConvertBlockAlign = 1u, // convert whole source blocks only; keep a partial one
    kConvertStart = 2u, // first block since open or seek
    kConvertEnd = 4u, // no more source follows: a partial last block is decoded too
};

struct ConvertResult {
    bool ok = false;
    std::size_t sourceUsed = 0;
    std::size_t produced = 0; // bytes written to the destination
};

class PcmConverter {
public:
    virtual ~PcmConverter() = default;

    // Source bytes whose conversion fills at most `destinationBytes` of output.
    // 0 when not even one unit of the source fits.
    virtual std::size_t SourceSizeFor(std::size_t destinationBytes) const = 0;

    virtual ConvertResult Convert(
        std::span<const std::uint8_t> source, std::span<std::uint8_t> destination, unsigned flags)
        = 0;

    // Whether, once no more source follows, another call could still produce
    // output: from samples the converter decoded but had no room for, or from
    // the `unusedSource` bytes the last call left. Frame and block codecs
    // convert everything they can in one call, so they never hold anything.
    virtual bool MoreAfterEnd(std::size_t /*unusedSource*/) const { return false; }
};

// A converter from the stored format described by `fmtPayload` to `output`
// (16-bit PCM with the source's rate and channels), or null when there is none:
// unknown tag, unusable parameters, or an output format other than that.
std::unique_ptr<PcmConverter> OpenPcmConverter(std::span<const std::uint8_t> fmtPayload, const WaveFormat& output);

// Output bytes per second above which a format is refused: no real recording
// comes near it, and it keeps buffer sizes sane for garbage headers.
inline constexpr std::uint32_t kMaxOutputBytesPerSecond = 8u * 1024u * 1024u;

} // namespace pellam
