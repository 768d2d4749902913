#include "richtext/CodePage.h"

#include "base/Cp1252.h"
#include "richtext/RichDocument.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <string>

#include <iconv.h>

namespace pellam {
namespace {

const char* IconvName(int codePage)
{
    switch (codePage) {
    case 874:
        return "CP874";
    case 932:
        return "CP932";
    case 936:
        return "CP936";
    case 949:
        return "CP949";
    case 950:
        return "CP950";
    case 1250:
        return "CP1250";
    case 1251:
        return "CP1251";
    case 1253:
        return "CP1253";
    case 1254:
        return "CP1254";
    case 1255:
        return "CP1255";
    case 1256:
        return "CP1256";
    case 1257:
        return "CP1257";
    case 1258:
        return "CP1258";
    case 10000:
        return "MACINTOSH";
    default:
        return nullptr;
    }
}

// One iconv conversion of a whole byte run; bytes it refuses become U+FFFD.
bool ConvertWithIconv(const char* name, std::string_view bytes, std::u16string& out)
{
    iconv_t cd = ::iconv_open("UTF-16LE", name);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string buffer(bytes.size() * 4 + 8, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* outPtr = buffer.data();
        std::size_t outLeft = buffer.size();
        const std::size_t r = ::iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        const std::size_t produced = buffer.size() - outLeft;
        for (std::size_t k = 0; k + 1 < produced; k += 2)
            out += static_cast<char16_t>(
                static_cast<unsigned char>(buffer[k]) | (static_cast<unsigned char>(buffer[k + 1]) << 8));
        if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
            out += u'\uFFFD'; // an invalid or incomplete sequence: one byte is given up
            ++in;
            --inLeft;
        }
    }
    ::iconv_close(cd);
    return true;
}

// Windows-1252 straight to UTF-16: every byte is one character, so the text
// is decoded in one pass; the 32 bytes from 80 to 9F take the code page's
// own characters.
std::u16string DecodeWindows1252(std::string_view bytes)
{
    static const auto kHigh = [] {
        std::array<char16_t, 32> table {};
        for (unsigned b = 0x80; b < 0xA0; ++b)
            table[b - 0x80] = FromUtf8(DecodeCp1252(std::string(1, static_cast<char>(b))))[0];
        return table;
    }();
    std::u16string out(bytes.size(), u'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out[i] = b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : static_cast<char16_t>(b);
    }
    return out;
}

} // namespace

int CodePageOfCharset(int charset)
{
    switch (charset) {
    case 0:
        return 1252;
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    default:
        return 0; // 1 = default, 2 = symbol and the rest: the document's page
    }
}

std::u16string DecodeCodePage(int codePage, std::string_view bytes)
{
    std::u16string out;
    if (const char* name = IconvName(codePage); name && ConvertWithIconv(name, bytes, out))
        return out;
    return DecodeWindows1252(bytes);
}

bool IsLeadByte(int codePage, unsigned char b)
{
    switch (codePage) {
    case 932:
        return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    case 936:
    case 949:
    case 950:
        return b >= 0x81 && b <= 0xFE;
    default:
        return false;
    }
}

} // namespace pellam
