#include "richtext/RichDocument.h"

#include "base/Cp1252.h"

namespace pellam {

std::size_t Paragraph::length() const
{
    std::size_t n = 0;
    for (const Run& r : runs)
        n += r.text.size();
    return n;
}

RichDocument::RichDocument() : paragraphs(1) { }

const FontEntry* RichDocument::font(int number) const
{
    const auto it = fonts.find(number);
    return it == fonts.end() ? nullptr : &it->second;
}

Colour RichDocument::colour(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= colours.size())
        return Colour {0, 0, 0, true};
    return colours[static_cast<std::size_t>(index)];
}

std::u16string RichDocument::PlainText() const
{
    std::u16string out;
    out.reserve(PlainLength());
    for (std::size_t p = 0; p < paragraphs.size(); ++p) {
        if (p > 0)
            out += u"\r\n";
        for (const Run& r : paragraphs[p].runs)
            out += r.text;
    }
    return out;
}

std::size_t RichDocument::PlainLength() const
{
    std::size_t n = paragraphs.empty() ? 0 : 2 * (paragraphs.size() - 1);
    for (const Paragraph& p : paragraphs)
        n += p.length();
    return n;
}

std::u16string FromUtf8(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    ForEachCodePoint(text, [&](char32_t c, std::string_view) {
        if (c == kNotACodePoint) {
            out += u'\uFFFD';
        } else if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    });
    return out;
}

std::string ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string PlainLines(const RichDocument& doc)
{
    std::string out;
    for (const Paragraph& p : doc.paragraphs) {
        for (const Run& run : p.runs)
            out += ToUtf8(run.text);
        out += '\n';
    }
    // The break after the last line opens an empty paragraph: no line of its own.
    if (!doc.paragraphs.empty() && doc.paragraphs.back().runs.empty())
        out.pop_back();
    return out;
}

} // namespace pellam
