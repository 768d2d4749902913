#include "audio/WaveformTrace.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>

namespace pellam {

namespace {

// Collects the points of a trace, keeping of each run of span points the
// first, lowest, highest and last.
class RunReducer {
public:
    RunReducer(std::vector<TracePoint>& out, std::int64_t span) : m_out(out), m_span(span) { }

    void Add(const TracePoint& point)
    {
        if (m_span == 1) {
            m_out.push_back(point);
            return;
        }
        const Kept kept {m_count, point};
        if (m_count == 0) {
            m_first = m_low = m_high = kept;
        } else {
            if (point.y < m_low.point.y)
                m_low = kept;
            if (point.y > m_high.point.y)
                m_high = kept;
        }
        m_last = kept;
        if (++m_count == m_span)
            Flush();
    }

    void Flush()
    {
        if (m_count == 0)
            return;
        std::array<Kept, 4> run {m_first, m_low, m_high, m_last};
        std::sort(run.begin(), run.end(), [](const Kept& a, const Kept& b) { return a.index < b.index; });
        for (std::size_t i = 0; i < run.size(); ++i)
            if (i == 0 || run[i].index != run[i - 1].index)
                m_out.push_back(run[i].point);
        m_count = 0;
    }

private:
    struct Kept {
        std::int64_t index = 0; // within the run
        TracePoint point {};
    };
    std::vector<TracePoint>& m_out;
    std::int64_t m_span;
    std::int64_t m_count = 0;
    Kept m_first, m_low, m_high, m_last;
};

} // namespace

std::int64_t TraceStep(std::int64_t fileSize)
{
    if (fileSize <= 4'000'000)
        return 1;
    if (fileSize <= 9'000'000)
        return 8;
    return 16;
}

std::int64_t TracePointCount(std::int64_t fileSize)
{
    // Record 44 + k step is read whole while (43 + k step) 128 + 2 <= fileSize;
    // the first read cut short adds one more point.
    const std::int64_t lastWholeRecord = (fileSize - 2) / kTraceRecordBytes + 1;
    const std::int64_t whole
        = lastWholeRecord < kTraceFirstRecord ? 0 : (lastWholeRecord - kTraceFirstRecord) / TraceStep(fileSize);
    return whole + 1;
}

std::int64_t TraceSpan(std::int64_t pointCount)
{
    if (pointCount <= kTraceMaxPoints)
        return 1;
    const std::int64_t runs = kTraceMaxPoints / 4;
    return (pointCount + runs - 1) / runs;
}

Result<WaveformTrace, TraceError> TraceWaveform(const std::string& path, const std::function<bool()>& stop)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!f)
        return fail(TraceError::Unreadable);
    if (std::fseek(f.get(), 0, SEEK_END) != 0)
        return fail(TraceError::Unreadable);
    const long size = std::ftell(f.get());
    if (size < 0)
        return fail(TraceError::Unreadable);

    WaveformTrace t;
    t.fileSize = size;
    if (t.fileSize < kTraceMinBytes)
        return fail(TraceError::TooShort);
    t.step = TraceStep(t.fileSize);
    t.width = static_cast<double>(t.fileSize) / static_cast<double>(kTraceRecordBytes);
    const std::int64_t count = TracePointCount(t.fileSize);
    t.points.reserve(static_cast<std::size_t>(std::min(count, kTraceMaxPoints)));
    RunReducer reducer(t.points, TraceSpan(count));

    std::int64_t x = 0;
    for (std::int64_t r = kTraceFirstRecord + t.step, n = 0;; r += t.step, x += t.step, ++n) {
        if (stop && (n % 4096) == 0 && stop())
            return fail(TraceError::Stopped);
        const std::int64_t offset = (r - 1) * kTraceRecordBytes;
        unsigned char b[2] = {0, 0};
        std::size_t got = 0;
        if (offset < t.fileSize && std::fseek(f.get(), static_cast<long>(offset), SEEK_SET) == 0)
            got = std::fread(b, 1, 2, f.get());
        const auto sample = static_cast<std::int16_t>(static_cast<std::uint16_t>(b[0] | (b[1] << 8)));
        reducer.Add({x, static_cast<std::int32_t>(kTraceMiddle) + sample});
        if (got < 2)
            break;
    }
    reducer.Flush();
    return t;
}

} // namespace pellam
