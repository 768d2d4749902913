#include "cli/MarkJson.h"

#include "base/Cp1252.h"
#include "cli/Verbs.h"
#include "notes/IncidentNotes.h"
#include "workspace/WorkFolder.h"

#include <cstdio>

namespace pellam::cli {

void WriteMark(Json& j, const Mark& m, bool stale)
{
    const bool onRecording = m.on == MarkOn::Recording;
    j.BeginObject().Field("on", MarkOnName(m.on));
    if (onRecording)
        j.Field("recording", m.recording).Field("offset", static_cast<double>(m.offsetMs) / 1000.0);
    else
        j.Key("recording").Null().Key("offset").Null();
    if (onRecording)
        j.Key("source").Null();
    else
        j.Field("source", m.source);
    if (m.position)
        j.Field("position", *m.position);
    else
        j.Key("position").Null();
    j.Field("note", m.note).Field("examiner", m.examiner);
    j.Field("created", LocalIsoText(m.createdMs)).Field("changed", LocalIsoText(m.changedMs));
    j.Field("stale", stale).EndObject();
}

namespace {

void TellMessage(const Message& box)
{
    std::fprintf(stderr, "%s\n%s\n", box.title.c_str(), ValidUtf8(box.text).c_str());
    if (!box.detail.empty())
        std::fprintf(stderr, "%s\n", ValidUtf8(box.detail).c_str());
}

} // namespace

Result<std::string, int> NotesPathArgument(const IncidentModel& model, bool make)
{
    const auto path = NotesPathOf(model, OwnFolderPath());
    if (!path) {
        TellMessage(path.error());
        return fail(kBadInput);
    }
    if (make)
        if (const auto own = MakeTempFolder(); !own)
            return fail(Complain(OwnFolderPath().str(), own.error().text));
    return path.value();
}

Result<std::unique_ptr<NoteStore>, int> OpenNotesTelling(const std::string& path)
{
    auto store = NoteStore::Open(path);
    if (!store) {
        TellMessage(StoreMessage(store.error(), path, true));
        return fail(kBadInput);
    }
    return std::move(store).value();
}

} // namespace pellam::cli
