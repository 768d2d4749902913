#pragma once
// Records files built slot by slot for the reader tests.
#include <string>
#include <vector>

namespace pellam::test {

inline const std::string kTrailerBytes = "\xC2\x02\x30\x25\x1B\x46\x26\x93\xA9\xA4\xDB";

// One slot of length L: a 2-byte little-endian length word, the bytes, NUL padding.
inline std::string Slot(const std::string& bytes, std::size_t L)
{
    std::string s(L, '\0');
    s[0] = static_cast<char>(bytes.size() & 0xFF);
    s[1] = static_cast<char>(bytes.size() >> 8);
    s.replace(2, bytes.size(), bytes);
    return s;
}

// A records file: the header slots (slot length text, counts of roles 0..7,
// header 9 and 10), `persons` person slots, and the trailer when asked.
inline std::string RecordFile(const std::string& lengthText, std::size_t L, const std::vector<std::string>& counts,
    std::size_t persons, bool trailer = true)
{
    std::string out = Slot(lengthText, L);
    for (std::size_t k = 0; k < 8; ++k)
        out += Slot(k < counts.size() ? counts[k] : "", L);
    out += Slot("nine", L) + Slot("Suspect", L);
    for (std::size_t i = 0; i < persons * 33; ++i)
        out += Slot("p" + std::to_string(i), L);
    if (trailer)
        out += Slot(kTrailerBytes, L);
    return out;
}

} // namespace pellam::test
