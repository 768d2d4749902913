#include "audio/WaveformTrace.h"

#include <algorithm>
#include <array>

namespace pellam {

// Collects the points of a trace, keeping of each run of span points the
// first, lowest, highest and last.
class TraceBuilder::RunReducer {
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

TraceBuilder::TraceBuilder(std::int64_t fileSize)
    : m_next((kTraceFirstRecord + TraceStep(fileSize) - 1) * kTraceRecordBytes)
{
    m_trace.fileSize = fileSize;
    m_trace.step = TraceStep(fileSize);
    m_trace.width = static_cast<double>(fileSize) / static_cast<double>(kTraceRecordBytes);
    const std::int64_t count = TracePointCount(fileSize);
    m_trace.points.reserve(static_cast<std::size_t>(std::min(count, kTraceMaxPoints)));
    m_reducer = std::make_unique<RunReducer>(m_trace.points, TraceSpan(count));
}

TraceBuilder::~TraceBuilder() = default;

void TraceBuilder::Add(std::int32_t sample)
{
    m_reducer->Add({m_x, static_cast<std::int32_t>(kTraceMiddle) + sample});
    m_x += m_trace.step;
    m_next += m_trace.step * kTraceRecordBytes;
}

void TraceBuilder::Feed(std::span<const std::uint8_t> bytes)
{
    if (m_finished)
        return;
    // Nothing past the file's end counts.
    const std::int64_t room = std::max<std::int64_t>(m_trace.fileSize - m_fed, 0);
    bytes = bytes.first(std::min(bytes.size(), static_cast<std::size_t>(room)));
    const std::int64_t begin = m_fed;
    const std::int64_t end = begin + static_cast<std::int64_t>(bytes.size());
    m_fed = end;
    if (m_lowByte >= 0 && !bytes.empty()) {
        Add(static_cast<std::int16_t>(static_cast<std::uint16_t>(m_lowByte | (bytes[0] << 8))));
        m_lowByte = -1;
    }
    while (m_next + 2 <= end) {
        const auto at = static_cast<std::size_t>(m_next - begin);
        Add(static_cast<std::int16_t>(static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8))));
    }
    if (m_next < end) // the sample's second byte comes with the next feed
        m_lowByte = bytes[static_cast<std::size_t>(m_next - begin)];
    if (m_fed == m_trace.fileSize)
        Finish();
}

void TraceBuilder::Finish()
{
    if (m_finished)
        return;
    m_finished = true;
    // The first read cut short: what it got of its sample, the rest zero.
    Add(static_cast<std::int16_t>(std::max(m_lowByte, 0)));
    m_lowByte = -1;
    m_reducer->Flush();
}

std::vector<TracePoint> TraceBuilder::TakeNewPoints()
{
    std::vector<TracePoint> taken(m_trace.points.begin() + static_cast<std::ptrdiff_t>(m_taken), m_trace.points.end());
    m_taken = m_trace.points.size();
    return taken;
}

void DecodedTrace::Shape(double width)
{
    std::lock_guard lock(m_mutex);
    m_width = width;
}

void DecodedTrace::Append(const std::vector<TracePoint>& points)
{
    std::lock_guard lock(m_mutex);
    m_points.insert(m_points.end(), points.begin(), points.end());
}

void DecodedTrace::Finish()
{
    std::lock_guard lock(m_mutex);
    m_finished = true;
}

double DecodedTrace::Width() const
{
    std::lock_guard lock(m_mutex);
    return m_width;
}

bool DecodedTrace::Finished() const
{
    std::lock_guard lock(m_mutex);
    return m_finished;
}

std::size_t DecodedTrace::CopyFrom(std::size_t from, std::vector<TracePoint>& out) const
{
    std::lock_guard lock(m_mutex);
    if (from >= m_points.size())
        return 0;
    out.insert(out.end(), m_points.begin() + static_cast<std::ptrdiff_t>(from), m_points.end());
    return m_points.size() - from;
}

std::size_t DecodedTrace::Size() const
{
    std::lock_guard lock(m_mutex);
    return m_points.size();
}

} // namespace pellam
