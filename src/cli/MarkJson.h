#pragma once
// A mark as `notes` and `mark` write it, and the incident's store as both reach it.
#include "cli/Json.h"
#include "notes/NoteStore.h"
#include "workspace/IncidentModel.h"

#include <memory>
#include <optional>
#include <string>

namespace pellam::cli {

void WriteMark(Json& j, const Mark& mark, bool stale);

// The store path of the opened incident, or the verb's exit code with the
// reason on stderr. The program's own folder is made when `make` says so, and
// only once the store is known to lie outside the evidence folder.
Result<std::string, int> NotesPathArgument(const IncidentModel& model, bool make);
// Opens the store at path; the reason on stderr and the exit code when it cannot be.
Result<std::unique_ptr<NoteStore>, int> OpenNotesTelling(const std::string& path);

} // namespace pellam::cli
