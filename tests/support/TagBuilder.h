#pragma once
// Builds ID3v2 tags byte by byte for the reader tests.
#include <cstdint>
#include <string>

namespace pellam::test {

inline std::string BigEndianBytes(std::uint32_t v, int n)
{
    std::string out;
    for (int i = n - 1; i >= 0; --i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
    return out;
}

// A version 2.3/2.4 frame: 4-character id, 4-byte size, 2 flag bytes.
inline std::string Frame(const std::string& id, const std::string& body)
{
    return id + BigEndianBytes(static_cast<std::uint32_t>(body.size()), 4) + std::string(2, '\0') + body;
}

// A version 2.2 frame: 3-character id, 3-byte size.
inline std::string Frame22(const std::string& id, const std::string& body)
{
    return id + BigEndianBytes(static_cast<std::uint32_t>(body.size()), 3) + body;
}

// An ISO-8859-1 text frame body: encoding byte 0 and the text.
inline std::string Latin1(const std::string& text)
{
    return std::string(1, '\0') + text;
}

// "ID3", version, revision 0, flags 0, size in 7-bit bytes, then the frames.
inline std::string Tag(int version, const std::string& frames, std::uint32_t size)
{
    std::string out = "ID3";
    out += static_cast<char>(version);
    out += std::string(2, '\0');
    for (int shift = 21; shift >= 0; shift -= 7)
        out += static_cast<char>((size >> shift) & 0x7F);
    return out + frames;
}

// A tag whose size covers the frames and `padding` NUL bytes after them.
inline std::string PaddedTag(int version, const std::string& frames, std::uint32_t padding = 64)
{
    return Tag(version, frames + std::string(padding, '\0'), static_cast<std::uint32_t>(frames.size()) + padding);
}

} // namespace pellam::test
