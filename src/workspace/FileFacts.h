#pragma once
// The size and date texts of a file as the recording list shows them.
#include "workspace/LocaleFormats.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace pellam {

// "500 Bytes", "10 KB", "3.5 MB", "1.5 GB": below 1024 the byte count; below
// 1 MB whole kilobytes; then megabytes or gigabytes to three decimals, without
// trailing zeros. The quotient is taken to four decimals, then rounded; both
// roundings send halves to the even neighbour. Negative sizes give "Error".
std::string SizeText(std::int64_t bytes, const LocaleFormats& formats);

// The size text of a file, "Error" when its size cannot be had.
std::string GetFileSize(const std::string& path, const LocaleFormats& formats);

// A moment in the locale's general date format: short date and long time
// ("12/5/2026 4:49:13 PM"), the date alone at exactly midnight ("12/5/2026").
std::string DateText(std::time_t when, const LocaleFormats& formats);

// When a file was last written; nothing when that cannot be had.
std::optional<std::time_t> LastWriteTime(const std::string& path);

// The date text of a file's last write, "" when it cannot be had.
std::string GetFileDate(const std::string& path, const LocaleFormats& formats);

} // namespace pellam
