#pragma once
// Bytes of a rich-text document's 8-bit code pages decoded to UTF-16.
#include <string>
#include <string_view>

namespace pellam {

// The Windows code page a font's \fcharset stands for; 0 when the charset
// names none (the document's own code page applies).
int CodePageOfCharset(int charset);

// Decodes bytes of a Windows code page (1252 when the page is unknown or
// cannot be converted here). Bytes without a meaning become U+FFFD, one per
// byte; nothing is dropped silently.
std::u16string DecodeCodePage(int codePage, std::string_view bytes);

// Whether byte b starts a two-byte character in a double-byte code page.
bool IsLeadByte(int codePage, unsigned char b);

} // namespace pellam
