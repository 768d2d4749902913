#include "workspace/FileFacts.h"

#include "base/Rounding.h"

#include <sys/stat.h>

namespace pellam {
namespace {

constexpr std::int64_t kKB = 1024;
constexpr std::int64_t kMB = kKB * 1024;
constexpr std::int64_t kGB = kMB * 1024;

// thousandths as "<whole>[<sep><digits>]" without trailing zeros.
std::string Thousandths(std::int64_t v, const std::string& sep)
{
    std::string out = std::to_string(v / 1000);
    std::int64_t frac = v % 1000;
    if (frac == 0)
        return out;
    std::string digits = std::to_string(1000 + frac).substr(1);
    while (digits.back() == '0')
        digits.pop_back();
    return out + sep + digits;
}

} // namespace

std::string SizeText(std::int64_t bytes, const LocaleFormats& formats)
{
    // Above this the four-decimal product would overflow; no file is that large.
    constexpr std::int64_t kLimit = INT64_MAX / 10000;
    if (bytes < 0 || bytes > kLimit)
        return "Error";
    if (bytes < kKB)
        return std::to_string(bytes) + " Bytes";
    if (bytes < kMB) {
        const std::int64_t tenThousandths = DivRoundHalfEven(bytes * 10000, kKB);
        return std::to_string(DivRoundHalfEven(tenThousandths, 10000)) + " KB";
    }
    const std::int64_t unit = bytes >= kGB ? kGB : kMB;
    const std::int64_t tenThousandths = DivRoundHalfEven(bytes * 10000, unit);
    return Thousandths(DivRoundHalfEven(tenThousandths, 10), formats.DecimalSeparator) + (unit == kGB ? " GB" : " MB");
}

std::string GetFileSize(const std::string& path, const LocaleFormats& formats)
{
    struct stat st { };
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return "Error";
    return SizeText(static_cast<std::int64_t>(st.st_size), formats);
}

std::string DateText(std::time_t when, const LocaleFormats& formats)
{
    std::tm t {};
    if (!::localtime_r(&when, &t))
        return std::string();
    // The general date format leaves out a time of exactly midnight.
    if (t.tm_hour == 0 && t.tm_min == 0 && t.tm_sec == 0)
        return FormatDateTime(t, formats.ShortDate, formats);
    return FormatDateTime(t, formats.ShortDate, formats) + " " + FormatDateTime(t, formats.LongTime, formats);
}

std::optional<std::time_t> LastWriteTime(const std::string& path)
{
    struct stat st { };
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return st.st_mtime;
}

std::string GetFileDate(const std::string& path, const LocaleFormats& formats)
{
    const auto written = LastWriteTime(path);
    return written ? DateText(*written, formats) : std::string();
}

} // namespace pellam
