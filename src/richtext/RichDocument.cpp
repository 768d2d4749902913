#include "richtext/RichDocument.h"

#include "base/Cp1252.h"

#include <algorithm>
#include <iterator>

namespace pellam {

RichDocument::RichDocument()
{
    ClearText();
}

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

void RichDocument::ClearText(Alignment alignment)
{
    m_text.clear();
    m_starts.assign(1, 0);
    m_alignments.assign(1, {0, alignment});
    m_runs.clear();
}

void RichDocument::Reserve(std::size_t characters, std::size_t paragraphs, std::size_t runs)
{
    m_text.reserve(characters);
    m_starts.reserve(paragraphs);
    m_runs.reserve(runs);
}

std::uint32_t RichDocument::StyleOf(const CharFormat& format, const std::string& picture)
{
    const auto [it, added] = m_styleIndex.try_emplace({format, picture}, static_cast<std::uint32_t>(m_styles.size()));
    if (added)
        m_styles.push_back(Style {format, picture});
    return it->second;
}

void RichDocument::Append(std::u16string_view text, const CharFormat& format, const std::string& picture)
{
    if (text.empty() && picture.empty())
        return;
    if (picture.empty() && !m_runs.empty()) {
        const Style& last = m_styles[m_runs.back().style];
        if (last.picture.empty() && last.format == format) {
            m_text += text;
            return;
        }
    }
    m_runs.push_back(RunStart {static_cast<std::uint32_t>(m_text.size()), StyleOf(format, picture)});
    m_text += text;
}

void RichDocument::NewParagraph(Alignment alignment)
{
    // A picture's run ends with its paragraph.
    if (!m_runs.empty() && !m_styles[m_runs.back().style].picture.empty())
        m_runs.push_back(RunStart {
            static_cast<std::uint32_t>(m_text.size()), StyleOf(m_styles[m_runs.back().style].format, std::string())});
    m_text += u"\r\n";
    m_starts.push_back(static_cast<std::uint32_t>(m_text.size()));
    SetAlignment(alignment);
}

void RichDocument::SetAlignment(Alignment alignment)
{
    const auto last = static_cast<std::uint32_t>(m_starts.size() - 1);
    if (m_alignments.back().first == last) {
        m_alignments.back().second = alignment;
        if (m_alignments.size() > 1 && m_alignments[m_alignments.size() - 2].second == alignment)
            m_alignments.pop_back();
    } else if (m_alignments.back().second != alignment) {
        m_alignments.emplace_back(last, alignment);
    }
}

Alignment RichDocument::ParagraphAlignment(std::size_t paragraph) const
{
    const auto it = std::upper_bound(m_alignments.begin(), m_alignments.end(), paragraph,
        [](std::size_t p, const auto& entry) { return p < entry.first; });
    return std::prev(it)->second;
}

std::size_t RichDocument::ParagraphEnd(std::size_t paragraph) const
{
    return paragraph + 1 < m_starts.size() ? m_starts[paragraph + 1] - 2 : m_text.size();
}

std::size_t RichDocument::ParagraphAt(std::size_t position) const
{
    const auto it = std::upper_bound(m_starts.begin(), m_starts.end(), position);
    return static_cast<std::size_t>(it - m_starts.begin()) - 1;
}

std::vector<RunView> RichDocument::Runs(std::size_t paragraph, std::size_t from, std::size_t to) const
{
    std::vector<RunView> out;
    const std::size_t lo = std::max(ParagraphStart(paragraph), from);
    const std::size_t hi = std::min(ParagraphEnd(paragraph), to);
    if (lo > hi)
        return out;
    // The run that covers lo, or the first that begins there.
    auto it = std::lower_bound(
        m_runs.begin(), m_runs.end(), lo, [](const RunStart& r, std::size_t pos) { return r.start < pos; });
    if ((it == m_runs.end() || it->start > lo) && it != m_runs.begin())
        --it;
    for (; it != m_runs.end() && it->start <= hi; ++it) {
        const std::size_t end = std::next(it) == m_runs.end() ? m_text.size() : std::next(it)->start;
        const std::size_t a = std::max<std::size_t>(it->start, lo);
        const std::size_t b = std::min(end, hi);
        const Style& style = m_styles[it->style];
        // A picture standing for no text still shows where it begins.
        const bool picture
            = !style.picture.empty() && it->start >= lo && (it->start < hi || hi == ParagraphEnd(paragraph));
        if (b > a || (b == a && picture))
            out.push_back(RunView {std::u16string_view(m_text).substr(a, b - a), style.format, style.picture});
    }
    return out;
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
    // Most texts are ASCII alone: those are narrowed as they are.
    char16_t all = 0;
    for (char16_t c : text)
        all |= c;
    if (all < 0x80) {
        std::string out(text.size(), '\0');
        std::transform(text.begin(), text.end(), out.begin(), [](char16_t c) { return static_cast<char>(c); });
        return out;
    }
    // Each code point, a lone surrogate as U+FFFD; the length is counted
    // first so that the text is written into place.
    const auto forEach = [text](auto visit) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            char32_t c = text[i];
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
                ++i;
            } else if (c >= 0xD800 && c <= 0xDFFF) {
                c = 0xFFFD;
            }
            visit(c);
        }
    };
    std::size_t length = 0;
    forEach([&](char32_t c) { length += c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4; });
    std::string out(length, '\0');
    char* o = out.data();
    forEach([&](char32_t c) {
        if (c < 0x80) {
            *o++ = static_cast<char>(c);
        } else if (c < 0x800) {
            *o++ = static_cast<char>(0xC0 | (c >> 6));
            *o++ = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *o++ = static_cast<char>(0xE0 | (c >> 12));
            *o++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *o++ = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            *o++ = static_cast<char>(0xF0 | (c >> 18));
            *o++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            *o++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *o++ = static_cast<char>(0x80 | (c & 0x3F));
        }
    });
    return out;
}

std::string PlainLines(const RichDocument& doc)
{
    std::string out;
    const std::u16string_view text = doc.PlainText();
    for (std::size_t p = 0; p < doc.ParagraphCount(); ++p) {
        out += ToUtf8(text.substr(doc.ParagraphStart(p), doc.ParagraphLength(p)));
        out += '\n';
    }
    // The break after the last line opens an empty paragraph: no line of its own.
    if (doc.Runs(doc.ParagraphCount() - 1).empty())
        out.pop_back();
    return out;
}

} // namespace pellam
