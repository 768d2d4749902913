#pragma once
// The CRC text of a recording as the recording list shows it and as the
// incident system wrote it into the Main Log: four two-digit upper-case
// hexadecimal groups separated by single blanks ("CB F4 39 26").
#include "checksums/clsCRC.h"

#include <cstdint>
#include <functional>
#include <stop_token>
#include <string>

namespace pellam {

// The text layout of a CRC value (digits missing at the top become trailing
// "00" groups; an odd digit count writes one digit in two groups).
std::string CrcValueText(std::int32_t value);

// An absolute path ("/...") is read as a file; any other text is checksummed
// as text. "", an unreadable file and a reading stopped through `stop` give
// "Unknown". Selects CRC-32 on `crc`.
std::string FileCRCText(clsCRC& crc, const std::string& path, std::stop_token stop = {});

// The confirmation rule: up to 6 attempts of four readings each; the text the
// four readings of an attempt agree on, else "Unknown". A requested stop ends
// it before the next reading with "Unknown".
std::string ConfirmReadings(const std::function<std::string()>& reading, std::stop_token stop = {});

// FileCRCText confirmed by ConfirmReadings.
std::string GetStableCRC(clsCRC& crc, const std::string& path, std::stop_token stop = {});

inline constexpr const char* kUnknownCrc = "Unknown";

} // namespace pellam
