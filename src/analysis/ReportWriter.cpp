#include "analysis/ReportWriter.h"

#include <algorithm>

namespace pellam {

void ReportWriter::Clear()
{
    m_doc.ClearText(m_alignment);
}

void ReportWriter::SetFont(const std::string& name)
{
    const auto it = std::find_if(
        m_doc.fonts.begin(), m_doc.fonts.end(), [&](const auto& entry) { return entry.second.name == name; });
    if (it != m_doc.fonts.end()) {
        m_font = it->first;
        return;
    }
    m_font = static_cast<int>(m_doc.fonts.size());
    m_doc.fonts.emplace(m_font, FontEntry {name, 0});
}

void ReportWriter::SetColour(Colour colour)
{
    const auto it = std::find(m_doc.colours.begin(), m_doc.colours.end(), colour);
    if (it != m_doc.colours.end()) {
        m_colour = static_cast<int>(it - m_doc.colours.begin());
        return;
    }
    if (m_doc.colours.empty())
        m_doc.colours.push_back(Colour {0, 0, 0, true}); // index 0 is the automatic colour
    m_colour = static_cast<int>(m_doc.colours.size());
    m_doc.colours.push_back(colour);
}

void ReportWriter::SetAlignment(Alignment alignment)
{
    m_alignment = alignment;
    m_doc.SetAlignment(alignment);
}

void ReportWriter::NewParagraph()
{
    m_doc.NewParagraph(m_alignment);
}

void ReportWriter::Append(std::string_view text, bool bold, bool italic, bool lineBreak, int size)
{
    if (!text.empty()) {
        CharFormat format;
        format.font = m_font;
        format.halfPoints = 2 * (size < 1 ? kReportPointSize : size);
        format.bold = bold;
        format.italic = italic;
        format.colour = m_colour;
        m_doc.Append(FromUtf8(text), format);
    }
    if (lineBreak)
        NewParagraph();
}

} // namespace pellam
