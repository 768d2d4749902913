#pragma once
// The CRC text of a recording as the recording list shows it and as the
// incident system wrote it into the Main Log: four two-digit upper-case
// hexadecimal groups separated by single blanks ("CB F4 39 26").
#include "checksums/Sha256.h"
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
// it before the next reading with "Unknown". `reading` is told whether it is
// the first reading of its attempt.
std::string ConfirmReadings(const std::function<std::string(bool first)>& reading, std::stop_token stop = {});

// FileCRCText confirmed by ConfirmReadings.
std::string GetStableCRC(clsCRC& crc, const std::string& path, std::stop_token stop = {});

// A recording's confirmed CRC text with its SHA-256 in lower-case hex, taken
// in the same read as the first CRC reading of the attempt that agreed; ""
// when the CRC is "Unknown". The other three readings are CRC-only.
struct StableSums {
    std::string crc;
    std::string sha256;
    bool operator==(const StableSums&) const = default;
};
StableSums GetStableSums(clsCRC& crc, const std::string& path, std::stop_token stop = {});

inline constexpr const char* kUnknownCrc = "Unknown";

} // namespace pellam
