#pragma once
// The incident system writes its data files in the Windows-1252 code page.
// Texts are decoded to UTF-8 where they enter the program and encoded back
// where bytes are needed (checksums of texts, the records file format).
#include <string>
#include <string_view>

namespace pellam {

// Every byte becomes one character; the five bytes without a Windows-1252
// meaning (81 8D 8F 90 9D) map to the C1 control of the same number, as the
// Windows conversion does, so no byte is lost.
std::string DecodeCp1252(std::string_view bytes);

// UTF-8 to Windows-1252; a character without a byte in the code page becomes
// '?', as the platform's best-fit-less conversion writes it. Invalid UTF-8
// bytes are taken as Windows-1252 bytes already.
std::string EncodeCp1252(std::string_view utf8);

// Number of characters of a UTF-8 text (the length the program's texts have).
std::size_t Utf8Length(std::string_view utf8);
// The first and the last `n` characters of a UTF-8 text (all of it when it is shorter).
std::string_view Utf8Left(std::string_view utf8, std::size_t n);
std::string_view Utf8Right(std::string_view utf8, std::size_t n);

// The text with every byte that is not part of a valid UTF-8 sequence replaced
// by U+FFFD, the replacement character: what the program prints of names that
// come from the file system as raw bytes is always valid UTF-8.
std::string ValidUtf8(std::string_view bytes);

// The code point of the well-formed UTF-8 sequence at s[i] and its length;
// 0 when no well-formed sequence starts there (overlong forms, surrogates
// and values past U+10FFFF included).
std::size_t NextCodePoint(std::string_view s, std::size_t i, char32_t& cp);

// Not a code point: what ForEachCodePoint hands over for a stray byte.
inline constexpr char32_t kNotACodePoint = 0xFFFFFFFF;

// Calls visit(cp, piece) for each piece of text in order: a well-formed UTF-8
// sequence with its code point, or a single byte that starts none with
// kNotACodePoint.
template<typename Visit>
void ForEachCodePoint(std::string_view text, Visit&& visit)
{
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        const std::size_t len = NextCodePoint(text, i, cp);
        const std::size_t taken = len == 0 ? 1 : len;
        visit(len == 0 ? kNotACodePoint : cp, text.substr(i, taken));
        i += taken;
    }
}

} // namespace pellam
