#include "audio/WaveformTrace.h"

#include <cstdio>
#include <memory>

namespace pellam {

std::int64_t TraceStep(std::int64_t fileSize)
{
    if (fileSize <= 4'000'000)
        return 1;
    if (fileSize <= 9'000'000)
        return 8;
    return 16;
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
    t.points.reserve(static_cast<std::size_t>(t.fileSize / kTraceRecordBytes / t.step + 2));

    std::int64_t x = 0;
    for (std::int64_t r = kTraceFirstRecord + t.step;; r += t.step, x += t.step) {
        if (stop && (t.points.size() % 4096) == 0 && stop())
            return fail(TraceError::Stopped);
        const std::int64_t offset = (r - 1) * kTraceRecordBytes;
        unsigned char b[2] = {0, 0};
        std::size_t got = 0;
        if (offset < t.fileSize && std::fseek(f.get(), static_cast<long>(offset), SEEK_SET) == 0)
            got = std::fread(b, 1, 2, f.get());
        const auto sample = static_cast<std::int16_t>(static_cast<std::uint16_t>(b[0] | (b[1] << 8)));
        t.points.push_back({x, static_cast<std::int32_t>(kTraceMiddle) + sample});
        if (got < 2)
            break;
    }
    return t;
}

} // namespace pellam
