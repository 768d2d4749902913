#include "notes/NotesReport.h"

#include "notes/MarkPlace.h"

#include <algorithm>
#include <numeric>

namespace pellam {

RichDocument ExaminersNotesSection(
    const std::vector<Mark>& marks, const std::vector<bool>& stale, const RoleTable& roles)
{
    RichDocument doc;
    CharFormat heading;
    heading.bold = true;
    heading.halfPoints = 32;
    CharFormat plain;
    CharFormat bold;
    bold.bold = true;
    CharFormat warning;
    warning.italic = true;
    const auto line = [&doc](const std::string& text, const CharFormat& format) {
        doc.Append(FromUtf8(text), format);
        doc.NewParagraph(Alignment::Left);
    };
    line(kNotesSectionHeading, heading);
    if (marks.empty()) {
        line("The examiner made no marks in this incident.", plain);
        return doc;
    }
    std::vector<std::size_t> order(marks.size());
    std::iota(order.begin(), order.end(), std::size_t {0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return std::pair(marks[a].createdMs, marks[a].id) < std::pair(marks[b].createdMs, marks[b].id);
    });
    for (const std::size_t i : order) {
        const Mark& m = marks[i];
        std::string when = LocalIsoText(m.createdMs) + ", " + m.examiner;
        if (m.changedMs != m.createdMs)
            when += " (changed " + LocalIsoText(m.changedMs) + ")";
        line(PlaceText(m, roles), bold);
        line(when, plain);
        // A note's own line breaks stay its paragraphs.
        std::size_t from = 0;
        for (std::size_t at; (at = m.note.find('\n', from)) != std::string::npos; from = at + 1)
            line(m.note.substr(from, at - from), plain);
        line(m.note.substr(from), plain);
        if (i < stale.size() && stale[i])
            line("The recording's content has changed since this mark was made.", warning);
        line("", plain);
    }
    return doc;
}

} // namespace pellam
