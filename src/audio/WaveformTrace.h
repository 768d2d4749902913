#pragma once
// The waveform of the temporary WAV file as drawn by the playback panel. The
// file is read as fixed 128-byte records without parsing its header: the
// 16-bit sample that starts each sampled record is taken as the first
// channel's value there. Coordinates are the picture's: x counts records (the
// picture is file size ÷ 128 units wide), y runs 0..70000 with the middle at
// 35000.
//
// A long file would give millions of points, more than any picture has
// columns, so past kTraceMaxPoints the points are taken in runs of TraceSpan
// consecutive ones and each run keeps only its first, lowest, highest and last
// point, in their order. Lines through those cover the same columns and the
// same heights as lines through the whole run, while memory and drawing stay
// bounded whatever the file's size.
#include "base/Result.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pellam {

inline constexpr std::int64_t kTraceRecordBytes = 128;
inline constexpr std::int64_t kTraceFirstRecord = 44; // 1-based; sampling starts one step after it
inline constexpr std::int64_t kTraceMinBytes = 40;
inline constexpr double kTraceHeight = 70000.0;
inline constexpr double kTraceMiddle = 35000.0;
inline constexpr std::int64_t kTraceMaxPoints = 65536;

struct TracePoint {
    std::int64_t x;
    std::int32_t y;
    bool operator==(const TracePoint&) const = default;
};

struct WaveformTrace {
    std::int64_t fileSize = 0;
    std::int64_t step = 1;
    double width = 0; // horizontal scale: fileSize ÷ 128
    // Lines run from (-1, 35000) through every point in order.
    std::vector<TracePoint> points;
};

enum class TraceError {
    Unreadable, // the file could not be opened
    TooShort, // fewer than 40 bytes
    Stopped, // the caller's stop check asked to give up
};

// Records skipped between samples: 1 up to 4,000,000 bytes, 8 up to 9,000,000, 16 above.
std::int64_t TraceStep(std::int64_t fileSize);

// Points a file of fileSize bytes gives before any reduction.
std::int64_t TracePointCount(std::int64_t fileSize);

// Consecutive points that share one reduced run: 1 (nothing reduced) up to
// kTraceMaxPoints points, else enough that at most kTraceMaxPoints / 4 runs remain.
std::int64_t TraceSpan(std::int64_t pointCount);

// Samples records 44 + step, 44 + 2 step, ... until the first read that the
// end of the file cuts short; that read's point is included, its missing
// bytes counting as zero. stop, when given, is asked now and then whether the
// trace is still wanted.
Result<WaveformTrace, TraceError> TraceWaveform(const std::string& path, const std::function<bool()>& stop = {});

} // namespace pellam
