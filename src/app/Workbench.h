#pragma once
// The examiner's workbench beside the main window: the incident's documents
// read once per opened incident, the timeline and the search across them,
// the examiner's notes, and the way from a mark or a hit to the window that
// shows it there.
#include "app/WindowSlot.h"
#include "audio/ui/WaveformPicture.h"
#include "base/Prompter.h"
#include "notes/Mark.h"
#include "workspace/IncidentModel.h"

#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <optional>
#include <vector>

class QWidget;

namespace pellam {

class AttachFORM;
class DocViewer;
class IncidentTextsLoader;
class NotesSession;
class NotesWindow;
class RecordingListController;
class SearchWindow;
class Shell;
class TextConvViewer;
class TimelineWindow;
struct IncidentDocument;

// The main window's windows a mark or a hit opens: each opens (or raises)
// its window and gives it, or nothing when it could not open.
struct DocumentWindows {
    std::function<DocViewer*()> logViewer;
    std::function<TextConvViewer*()> conversations;
    std::function<AttachFORM*()> attachments;
    std::function<void(int role, int person)> recordSheet;
};

class Workbench : public QObject {
    Q_OBJECT
public:
    Workbench(const IncidentModel& model, Shell& shell, Prompter& prompter, RecordingListController& list,
        DocumentWindows windows, QWidget* owner);

    // The recording pass ended: the documents of an incident found are read.
    void IncidentOpened();
    // A new open begins: what was read goes, and the windows close.
    void Clear();
    void Close();

    void OpenTimeline();
    void OpenSearch();
    void OpenNotes();
    // A mark at positionMs of the loaded recording (the playback panel's M).
    void MarkRecording(const QString& recording, double positionMs, const QString& note);
    // Asks for the note of a mark on a log entry, a conversation line or a
    // person, and keeps it when given.
    void AskMark(MarkOn on, const std::string& source, std::optional<std::int64_t> position);
    // A mark on the conversation in slot 1..4 at a document position.
    void AskConversationMark(int slot, std::int64_t position);
    // Goes to the place of a mark: a recording plays from it, a document opens at its entry.
    void GoToMark(const Mark& mark);
    // The marks on recordings by file name, as the waveform draws them.
    std::map<std::string, std::vector<WaveformTick>> WaveformMarks() const;
    // The player's position in the recording loaded (nothing when none plays),
    // for the timeline's playhead.
    void ShowPlayhead(const QString& recording, std::optional<double> positionMs);

    IncidentTextsLoader& texts() const { return *m_texts; }
    NotesSession& notes() const { return *m_notes; }

private:
    // Opens the log viewer or the conversation at the whole entry of document
    // `source` that holds `position`, selected.
    void ShowEntry(const QString& source, int position);
    // Shows the hit [position, position + length) in the window that shows its document.
    void OpenHit(const IncidentDocument& document, int position, int length);
    // The marks on the timeline's lanes, when it is open and the documents are read.
    void ShowNotesOnTimeline();

    const IncidentModel& m_model;
    Shell& m_shell;
    Prompter& m_prompter;
    RecordingListController& m_list;
    DocumentWindows m_windows;
    QWidget* m_owner;
    IncidentTextsLoader* m_texts;
    WindowSlot<TimelineWindow> m_timeline;
    WindowSlot<SearchWindow> m_search;
    NotesSession* m_notes;
    WindowSlot<NotesWindow> m_notesWindow;
};

} // namespace pellam
