// pellam-cli note EVT POS: what a double-click on the Main Log does when the
// caret lands at text position POS: the recording it plays and the offset
// it asks for, found by the same scans and the same list lookup the log
// viewer and the main window use. Nothing is loaded in a fresh run, so the
// recording has to be in the recording list to play.
#include "cli/Json.h"
#include "cli/Verbs.h"
#include "logs/NotationLink.h"
#include "workspace/IncidentPaths.h"
#include "workspace/OpenIncident.h"

#include <charconv>
#include <cstdio>

namespace pellam::cli {
namespace {

// A caret position: decimal digits only, within the 32-bit positions a log has.
std::optional<std::int32_t> ParsePosition(const std::string& s)
{
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size() || value < 0)
        return std::nullopt;
    return value;
}

int Run(const Args& args)
{
    const auto caret = ParsePosition(args[1]);
    if (!caret)
        return Complain(args[1], "POS is not a text position (a whole number from 0)");
    const auto eventFile = CheckEventFileArgument(args[0]);
    if (!eventFile) {
        const std::string& text = eventFile.error().text;
        return Complain(args[0], text.substr(text.find(kLineBreak) + 2));
    }

    IncidentModel model;
    model.Formats = UserFormats();
    OpenIncident open(model);
    if (const auto opened = open.Open(eventFile.value()); !opened) {
        // The refusal's message box on one line.
        std::string reason = opened.error().title + ": ";
        for (char c : opened.error().text)
            if (c != '\n')
                reason += c == '\r' ? ' ' : c;
        if (const std::string& detail = opened.error().detail; !detail.empty()) { // which file and why
            reason += " (";
            for (char c : detail)
                reason += c == '\n' ? std::string("; ") : std::string(1, c);
            reason += ")";
        }
        return Complain(args[0], reason);
    }
    open.RunToEnd();

    const std::string& mainLog = model.paths.MainLog;
    if (mainLog == kNone)
        return Complain(args[0], "the incident has no Main Log");
    const auto doc = LoadRichTextFile(mainLog);
    if (!doc)
        return Complain(mainLog, RichTextFileReason(doc.error()));

    const auto note = NotationAtCaret(doc->PlainText(), *caret);
    Json j;
    j.BeginObject();
    if (note && ListedRecordingNumber(model.ListRows, note->NoteAudioMP3) != 0)
        j.Field("recording", note->NoteAudioMP3).Field("start", note->NoteAudioStart);
    else
        j.Key("recording").Null().Field("start", 0);
    j.EndObject();
    std::printf("%s\n", j.str().c_str());
    return kOk;
}

const VerbRegistrar reg(
    "note", "EVT POS", "the recording and offset a double-click at Main Log position POS plays", &Run);

} // namespace
} // namespace pellam::cli
