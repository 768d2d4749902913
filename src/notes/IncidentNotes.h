#pragma once
// Where an incident's notes are kept and how they are reached: one store per
// incident in the program's own folder, named by the event file's case
// number and SHA-256, so a copied evidence folder finds its notes and another
// incident with the same case number does not. The window and pellam-cli
// open the store, make marks and explain a refusal through these functions.
#include "base/FolderPath.h"
#include "base/Message.h"
#include "base/Result.h"
#include "notes/NoteStore.h"
#include "workspace/IncidentModel.h"

#include <memory>
#include <optional>
#include <string>

namespace pellam {

// The store's file name: "Notes-<case>-<sha256>.sqlite", the case number's
// characters other than letters, digits, "-" and "_" written as "_".
std::string NotesFileName(const std::string& caseNumber, const std::string& eventSha256);

// The path of the incident's store in `ownFolder`; the event file is read
// for its SHA-256. Refused when the event file cannot be read or the store
// would lie inside the evidence folder.
Result<std::string, Message> NotesPathOf(const IncidentModel& model, const FolderPath& ownFolder);

// Opens (creating when needed) the incident's store.
Result<std::unique_ptr<NoteStore>, Message> OpenIncidentNotes(const IncidentModel& model, const FolderPath& ownFolder);

// What the examiner reads when the store fails: on opening it (the review
// goes on without notes) or on a change (that change was not kept).
Message StoreMessage(const StoreError& error, const std::string& path, bool opening);

// A mark on the listed recording `name` at offsetMs with `note`, made now by
// the examiner; the recording's SHA-256 is the one given or, when none is,
// read from its file. Refused with the reason when the recording is not
// listed or the moment lies outside its listed length.
Result<Mark, std::string> RecordingMark(const IncidentModel& model, const std::string& name, std::int64_t offsetMs,
    const std::string& note, std::optional<std::string> sha256 = std::nullopt);

// The SHA-256 of a listed recording's file now; nothing when it cannot be read.
std::optional<std::string> RecordingSha256(const IncidentModel& model, const std::string& name);

} // namespace pellam
