#include "notes/IncidentNotes.h"

#include "checksums/Sha256.h"
#include "logs/NotationLink.h"
#include "workspace/RecordingList.h"

#include <cctype>

namespace pellam {

namespace {
constexpr const char* kTitle = "Examiner's Notes";
}

std::string NotesFileName(const std::string& caseNumber, const std::string& eventSha256)
{
    std::string safe;
    for (const char c : caseNumber)
        safe += (std::isalnum(static_cast<unsigned char>(c)) && static_cast<unsigned char>(c) < 0x80) || c == '-'
                || c == '_'
            ? c
            : '_';
    return "Notes-" + safe + "-" + eventSha256 + ".sqlite";
}

Result<std::string, Message> NotesPathOf(const IncidentModel& model, const FolderPath& ownFolder)
{
    const auto sums = SumsOfFile(model.newLoad.EventFile);
    if (!sums)
        return fail(Message {kTitle, "The event file could not be read, so this incident's notes cannot be found.",
            MessageIcon::Exclamation, model.newLoad.EventFile + ": " + sums.error().text});
    const std::string path = ownFolder.Join(NotesFileName(model.CaseNumber, Sha256Hex(sums.value().sha256)));
    if (LiesInside(path, model.paths.Evidence))
        return fail(Message {kTitle,
            "Pellam's own folder lies inside the evidence folder, and nothing is ever written there. The review "
            "goes on without notes.",
            MessageIcon::Exclamation, path});
    return path;
}

Result<std::unique_ptr<NoteStore>, Message> OpenIncidentNotes(const IncidentModel& model, const FolderPath& ownFolder)
{
    const auto path = NotesPathOf(model, ownFolder);
    if (!path)
        return fail(path.error());
    auto store = NoteStore::Open(path.value());
    if (!store)
        return fail(StoreMessage(store.error(), path.value(), true));
    return std::move(store).value();
}

Message StoreMessage(const StoreError& error, const std::string& path, bool opening)
{
    std::string text;
    switch (error.fault) {
    case StoreFault::Newer:
        text = "This incident's notes were written by a newer version of Pellam (store version "
            + std::to_string(error.version) + "; this version reads up to " + std::to_string(NoteStore::kVersion)
            + "). They are left as they are.";
        break;
    case StoreFault::Damaged:
        text = "This incident's notes store is damaged and cannot be read. The file is left as it is.";
        break;
    case StoreFault::ReadOnly:
        text = "Pellam cannot write in its own folder, so the examiner's notes cannot be kept.";
        break;
    case StoreFault::Full:
        text = "The disk that holds Pellam's own folder is full.";
        break;
    case StoreFault::Busy:
        text = "Another copy of Pellam kept the notes store busy for too long.";
        break;
    case StoreFault::Other:
        text = "This incident's notes store could not be used.";
        break;
    }
    text += opening ? " The review goes on without notes." : " The change was not kept; marks kept before are unchanged.";
    return Message {kTitle, text, MessageIcon::Exclamation, path + ": " + error.text};
}

namespace {

std::optional<std::size_t> ListedIndex(const IncidentModel& model, const std::string& name)
{
    const std::int16_t number = ListedRecordingNumber(model.ListRows, name);
    if (number <= 0 || static_cast<std::size_t>(number) > model.MP3Paths.size())
        return std::nullopt;
    return static_cast<std::size_t>(number - 1);
}

} // namespace

std::optional<std::string> RecordingSha256(const IncidentModel& model, const std::string& name)
{
    const auto index = ListedIndex(model, name);
    if (!index)
        return std::nullopt;
    const auto sums = SumsOfFile(model.MP3Paths[*index]);
    if (!sums)
        return std::nullopt;
    return Sha256Hex(sums.value().sha256);
}

Result<Mark, std::string> RecordingMark(const IncidentModel& model, const std::string& name, std::int64_t offsetMs,
    const std::string& note, std::optional<std::string> sha256)
{
    const auto index = ListedIndex(model, name);
    if (!index)
        return fail(std::string("the recording is not listed"));
    const auto seconds = DurationSeconds(model.ListRows[*index].Duration);
    if (offsetMs < 0 || (seconds && offsetMs > *seconds * 1000))
        return fail(std::string("the moment lies outside the recording"));
    if (!seconds)
        return fail(std::string("the recording's length is not known"));
    Mark mark;
    mark.on = MarkOn::Recording;
    mark.recording = name;
    mark.offsetMs = offsetMs;
    mark.note = note;
    mark.examiner = ExaminerName();
    mark.createdMs = mark.changedMs = NowMs();
    mark.recordingSha256 = sha256 ? *sha256 : RecordingSha256(model, name).value_or(std::string());
    return mark;
}

} // namespace pellam
