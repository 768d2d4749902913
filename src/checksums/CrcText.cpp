#include "checksums/CrcText.h"

#include <cstdio>

namespace pellam {

std::string CrcValueText(std::int32_t value)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", static_cast<std::uint32_t>(value));
    const std::string h = buf;
    const std::size_t L = h.size();
    auto left = [&](std::size_t k) { return h.substr(0, k); };
    auto right = [&](std::size_t k) { return h.substr(L - k); };
    auto mid = [&](std::size_t p) { return h.substr(p - 1, 2); }; // two digits from digit p (1-based)
    if (L >= 7)
        return left(2) + " " + mid(3) + " " + mid(5) + " " + right(2);
    if (L >= 5)
        return left(2) + " " + mid(3) + " " + right(2) + " 00";
    if (L >= 3)
        return left(2) + " " + right(2) + " 00 00";
    if (L == 2)
        return h + " 00 00 00";
    return "0" + h + " 00 00 00";
}

std::string FileCRCText(clsCRC& crc, const std::string& path, std::stop_token stop)
{
    if (path.empty())
        return kUnknownCrc;
    crc.SetAlgorithm(1);
    if (path[0] == '/') {
        const auto v = crc.CalculateFile(path, stop);
        if (!v)
            return kUnknownCrc;
        return CrcValueText(v.value());
    }
    return CrcValueText(crc.CalculateString(path));
}

std::string ConfirmReadings(const std::function<std::string(bool first)>& reading, std::stop_token stop)
{
    for (int attempt = 0; attempt < 6; ++attempt) {
        if (stop.stop_requested())
            return kUnknownCrc;
        const std::string first = reading(true);
        bool agree = true;
        for (int i = 1; i < 4 && agree; ++i) {
            if (stop.stop_requested())
                return kUnknownCrc;
            agree = reading(false) == first;
        }
        if (agree)
            return first;
    }
    return kUnknownCrc;
}

std::string GetStableCRC(clsCRC& crc, const std::string& path, std::stop_token stop)
{
    return ConfirmReadings([&](bool) { return FileCRCText(crc, path, stop); }, stop);
}

StableSums GetStableSums(clsCRC& crc, const std::string& path, std::stop_token stop)
{
    if (path.empty() || path[0] != '/')
        return {GetStableCRC(crc, path, stop), {}};
    // The hash of the latest attempt's first reading: the one the agreeing
    // readings confirm.
    std::string sha256;
    const std::string text = ConfirmReadings(
        [&](bool first) {
            if (!first)
                return FileCRCText(crc, path, stop);
            const auto sums = SumsOfFile(path, stop);
            if (!sums)
                return std::string(kUnknownCrc);
            sha256 = Sha256Hex(sums.value().sha256);
            return CrcValueText(sums.value().crc32);
        },
        stop);
    return {text, text == kUnknownCrc ? std::string() : sha256};
}

} // namespace pellam
