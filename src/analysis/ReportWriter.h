#pragma once
// Writes a report into a rich document the way the statistics window's two
// report boxes are written: text is appended at the end with bold, italic,
// size and line break given per call, while font, colour and alignment are
// settings of the box that stay until changed.
#include "richtext/RichDocument.h"

#include <string>
#include <string_view>

namespace pellam {

inline constexpr int kReportPointSize = 12;

class ReportWriter {
public:
    explicit ReportWriter(RichDocument& doc) : m_doc(doc) { }

    // Empties the document; font, colour and alignment stay.
    void Clear();
    void SetFont(const std::string& name);
    void SetColour(Colour colour);
    // Applies to the paragraph at the end and to those that follow.
    void SetAlignment(Alignment alignment);
    // Appends text, then a line break when asked; an empty text with a line
    // break is a line break alone. A size below 1 is the default 12 points.
    void Append(std::string_view text, bool bold, bool italic, bool lineBreak, int size = kReportPointSize);

private:
    void NewParagraph();

    RichDocument& m_doc;
    int m_font = -1;
    int m_colour = 0;
    Alignment m_alignment = Alignment::Left;
};

} // namespace pellam
