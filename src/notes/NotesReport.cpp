#include "notes/NotesReport.h"

#include "notes/IncidentNotes.h"
#include "notes/MarkPlace.h"

#include <algorithm>
#include <filesystem>
#include <numeric>

namespace pellam {

std::vector<NoteLine> ExaminersNotesLines(
    const std::vector<Mark>& marks, const std::vector<bool>& stale, const RoleTable& roles)
{
    std::vector<NoteLine> lines;
    if (marks.empty()) {
        lines.push_back({"The examiner made no marks in this incident."});
        return lines;
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
        lines.push_back({PlaceText(m, roles), true});
        lines.push_back({when});
        // A note's own line breaks stay its lines.
        std::size_t from = 0;
        for (std::size_t at; (at = m.note.find('\n', from)) != std::string::npos; from = at + 1)
            lines.push_back({m.note.substr(from, at - from)});
        lines.push_back({m.note.substr(from)});
        if (i < stale.size() && stale[i])
            lines.push_back({"The recording's content has changed since this mark was made.", false, true});
        lines.push_back({""});
    }
    return lines;
}

ReportMarks ReadMarksForReport(const std::string& eventFile, const std::string& caseNumber,
    const FolderPath& evidence, const FolderPath& ownFolder)
{
    IncidentModel key;
    key.newLoad.EventFile = eventFile;
    key.CaseNumber = caseNumber;
    key.paths.Evidence = evidence;
    const auto path = NotesPathOf(key, ownFolder);
    if (!path)
        return {{}, path.error().text};
    std::error_code ec;
    if (!std::filesystem::exists(path.value(), ec))
        return {};
    const auto store = NoteStore::Open(path.value());
    if (!store)
        return {{}, StoreMessage(store.error(), path.value(), true).text};
    auto all = store.value()->All();
    if (!all)
        return {{}, all.error().text};
    return {std::move(all).value(), std::nullopt};
}

} // namespace pellam
