#pragma once
// The waveform of a decoded recording as drawn by the playback panel, traced
// on its WAV file (header and 16-bit samples) as the decoder writes it. The
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
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
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

// Records skipped between samples: 1 up to 4,000,000 bytes, 8 up to 9,000,000, 16 above.
std::int64_t TraceStep(std::int64_t fileSize);

// Points a file of fileSize bytes gives before any reduction.
std::int64_t TracePointCount(std::int64_t fileSize);

// Consecutive points that share one reduced run: 1 (nothing reduced) up to
// kTraceMaxPoints points, else enough that at most kTraceMaxPoints / 4 runs remain.
std::int64_t TraceSpan(std::int64_t pointCount);

// Traces a WAV file of fileSize bytes (at least kTraceMinBytes) from its
// bytes as they are written, start to end: samples records 44 + step,
// 44 + 2 step, ... until the first read that the end of the file cuts short;
// that read's point is included, its missing bytes counting as zero. The
// file ends at fileSize, or earlier where Finish says.
class TraceBuilder {
public:
    explicit TraceBuilder(std::int64_t fileSize);
    ~TraceBuilder();
    TraceBuilder(const TraceBuilder&) = delete;
    TraceBuilder& operator=(const TraceBuilder&) = delete;

    // The next bytes of the file.
    void Feed(std::span<const std::uint8_t> bytes);
    // The file ends after the bytes fed so far.
    void Finish();
    bool Finished() const { return m_finished; }

    // The trace so far; points come in whole runs.
    const WaveformTrace& Trace() const { return m_trace; }
    // Takes the points added since the last call.
    std::vector<TracePoint> TakeNewPoints();

private:
    void Add(std::int32_t sample);
    class RunReducer;

    WaveformTrace m_trace;
    std::unique_ptr<RunReducer> m_reducer;
    std::int64_t m_fed = 0; // bytes of the file fed so far
    std::int64_t m_next; // offset of the next sampled record
    std::int64_t m_x = 0; // its x
    int m_lowByte = -1; // the sample's first byte when the feed ended between its two
    std::size_t m_taken = 0;
    bool m_finished = false;
};

// The waveform of a recording being decoded, shared between the thread that
// decodes and the window that draws: the width is known once the decoder
// knows the length, points arrive as the decode goes on.
class DecodedTrace {
public:
    void Shape(double width);
    void Append(const std::vector<TracePoint>& points);
    void Finish();

    double Width() const;
    bool Finished() const;
    // Copies the points from index `from` on into out (appended); how many.
    std::size_t CopyFrom(std::size_t from, std::vector<TracePoint>& out) const;
    std::size_t Size() const;

private:
    mutable std::mutex m_mutex;
    double m_width = 0;
    std::vector<TracePoint> m_points;
    bool m_finished = false;
};

} // namespace pellam
