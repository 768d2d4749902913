// pellam-cli mark EVT RECORDING SECONDS TEXT: a mark on a listed recording,
// made as the window's M key makes one, kept in the program's own store.
#include "cli/MarkJson.h"
#include "cli/OpenedIncident.h"
#include "cli/Verbs.h"
#include "notes/IncidentNotes.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace pellam::cli {
namespace {

// A decimal number of seconds ("83", "83.25") as milliseconds; nothing for
// anything else (signs, exponents, "nan").
std::optional<std::int64_t> Milliseconds(const std::string& text)
{
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos || text == ".")
        return std::nullopt;
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(seconds) || seconds > 1e9)
        return std::nullopt;
    return std::llround(seconds * 1000.0);
}

int Run(const Args& args)
{
    const auto ms = Milliseconds(args[2]);
    if (!ms)
        return Complain(args[2], "not a number of seconds");
    IncidentModel model;
    if (const auto failed = OpenIncidentArgument(args[0], model))
        return *failed;
    const auto mark = RecordingMark(model, args[1], *ms, args[3]);
    if (!mark)
        return Complain(args[1], mark.error());
    const auto path = NotesPathArgument(model, true);
    if (!path)
        return path.error();
    const auto store = OpenNotesTelling(path.value());
    if (!store)
        return store.error();
    const auto kept = store.value()->Add(mark.value());
    if (!kept) {
        const Message box = StoreMessage(kept.error(), path.value(), false);
        return Complain(path.value(), box.text);
    }
    Json j;
    WriteMark(j, kept.value(), false);
    std::printf("%s\n", j.str().c_str());
    return kOk;
}

const VerbRegistrar reg("mark", "EVT RECORDING SECONDS TEXT",
    "adds a mark with a note on a listed recording at a moment, to the program's own store", &Run);

} // namespace
} // namespace pellam::cli
