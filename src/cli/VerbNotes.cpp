// pellam-cli notes EVT [--csv]: the examiner's marks of the incident from the
// program's own store, in the order they were made, as JSON or CSV.
#include "cli/MarkJson.h"
#include "cli/OpenedIncident.h"
#include "cli/Verbs.h"
#include "notes/MarkExport.h"

#include <cstdio>
#include <filesystem>

namespace pellam::cli {
namespace {

int Run(const Args& args)
{
    const auto read = ReadEventFileWithOption(args, "--csv", "unknown option (only --csv)");
    if (!read)
        return kBadInput;
    const bool csv = read->option;
    IncidentModel model;
    if (const auto failed = OpenIncidentArgument(read->eventFile, model))
        return *failed;
    const auto path = NotesPathArgument(model, false);
    if (!path)
        return path.error();
    std::vector<Mark> marks;
    // An incident never marked has no store yet, and reading its notes makes none.
    std::error_code ec;
    if (std::filesystem::exists(path.value(), ec)) {
        const auto store = OpenNotesTelling(path.value());
        if (!store)
            return store.error();
        auto all = store.value()->All();
        if (!all)
            return Complain(path.value(), all.error().text);
        marks = std::move(all).value();
    }
    const std::vector<bool> stale = StaleFlags(model, marks);
    if (csv) {
        std::fputs(MarksCsv(marks, stale).c_str(), stdout);
        return kOk;
    }
    Json j;
    j.BeginObject().Key("marks").BeginArray();
    for (std::size_t i = 0; i < marks.size(); ++i)
        WriteMark(j, marks[i], stale[i]);
    j.EndArray().EndObject();
    std::printf("%s\n", j.str().c_str());
    return kOk;
}

const VerbRegistrar reg(
    "notes", "EVT [--csv]", "the examiner's marks of the incident as JSON, or CSV with --csv", &Run);

} // namespace
} // namespace pellam::cli
