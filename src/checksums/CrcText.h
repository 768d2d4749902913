#pragma once
// The CRC text of a recording as the recording list shows it and as the
// incident system wrote it into the Main Log: four two-digit upper-case
// hexadecimal groups separated by single blanks ("CB F4 39 26").
#include "checksums/clsCRC.h"

#include <cstdint>
#include <string>

namespace pellam {

// The text layout of a CRC value (digits missing at the top become trailing
// "00" groups; an odd digit count writes one digit in two groups).
std::string CrcValueText(std::int32_t value);

// An absolute path ("/...") is read as a file; any other text is checksummed
// as text. "" and an unreadable file give "Unknown". Selects CRC-32 on `crc`.
std::string FileCRCText(clsCRC& crc, const std::string& path);

// FileCRCText confirmed: four readings must agree, up to 6 attempts, else "Unknown".
std::string GetStableCRC(clsCRC& crc, const std::string& path);

inline constexpr const char* kUnknownCrc = "Unknown";

} // namespace pellam
