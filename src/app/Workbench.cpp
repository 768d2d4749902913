#include "app/Workbench.h"

#include "app/RecordingListController.h"
#include "app/Shell.h"
#include "attachments/ui/AttachFORM.h"
#include "conversations/ui/TextConvViewer.h"
#include "logs/ui/DocViewer.h"
#include "notes/MarkPlace.h"
#include "notes/ui/NotesSession.h"
#include "notes/ui/NotesWindow.h"
#include "workbench/ui/IncidentTextsLoader.h"
#include "workbench/ui/SearchWindow.h"
#include "workbench/ui/TimelineWindow.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>

#include <algorithm>
#include <cstdio>

namespace pellam {

Workbench::Workbench(const IncidentModel& model, Shell& shell, Prompter& prompter, RecordingListController& list,
    DocumentWindows windows, QWidget* owner)
    : QObject(owner), m_model(model), m_shell(shell), m_prompter(prompter), m_list(list), m_windows(std::move(windows)),
      m_owner(owner), m_texts(new IncidentTextsLoader(this)), m_notes(new NotesSession(prompter, this))
{
    connect(m_notes, &NotesSession::marksChanged, this, &Workbench::ShowNotesOnTimeline);
    // A timeline opened before the documents were read fills in once they are.
    connect(m_texts, &IncidentTextsLoader::ready, this, [this] {
        if (m_timeline && !m_timeline.get()->timeline())
            m_timeline.get()->SetTimeline(m_texts->timeline());
        ShowNotesOnTimeline();
    });
}

void Workbench::IncidentOpened()
{
    if (!m_model.IncidentFound)
        return;
    m_texts->Load(m_model);
    m_notes->Open(m_model);
}

void Workbench::Clear()
{
    Close();
    m_texts->Clear();
    m_notes->Close();
}

void Workbench::Close()
{
    m_search.Close();
    m_timeline.Close();
    m_notesWindow.Close();
}

void Workbench::ShowPlayhead(const QString& recording, std::optional<double> positionMs)
{
    if (m_timeline)
        m_timeline.get()->SetPlayhead(recording, positionMs);
}

void Workbench::OpenTimeline()
{
    m_timeline.OpenOrRaise([this] {
        TimelineWindowInput input {m_texts->timeline(), m_model.Formats, m_model.CaseNumber,
            PrinterChoiceOf(m_shell, m_prompter, m_model), [this](const QString& suggested) {
                return m_shell.ChooseSaveFile(
                    {"Save Picture", suggested, "PNG Pictures (*.png)", "png"}, QApplication::activeWindow());
            }};
        auto* window = new TimelineWindow(std::move(input), m_prompter, m_owner);
        connect(window, &TimelineWindow::notationActivated, &m_list, &RecordingListController::PlayNotation);
        connect(window, &TimelineWindow::recordingActivated, &m_list, &RecordingListController::PlayFrom);
        connect(window, &TimelineWindow::entryActivated, this, &Workbench::ShowEntry);
        return window;
    });
    ShowNotesOnTimeline();
}

void Workbench::ShowNotesOnTimeline()
{
    const auto texts = m_texts->texts();
    const auto timeline = m_texts->timeline();
    if (!m_timeline || !texts || !timeline)
        return;
    const auto& marks = m_notes->marks();
    std::vector<TimelineNote> notes;
    for (const TimelinePlace& place : TimelinePlaces(marks, *timeline, *texts)) {
        const Mark& m = marks[place.mark];
        notes.push_back({place.lane, place.time,
            QString::fromStdString(PlaceText(m, m_model.roles) + "\n" + m.examiner + ": " + m.note)});
    }
    m_timeline.get()->view()->SetNotes(std::move(notes));
}

void Workbench::OpenNotes()
{
    m_notesWindow.OpenOrRaise([this] {
        auto* window = new NotesWindow(*m_notes, QString::fromStdString(m_model.CaseNumber), m_owner);
        connect(window, &NotesWindow::markActivated, this, &Workbench::GoToMark);
        return window;
    });
    m_notesWindow.get()->activateWindow();
}

void Workbench::MarkRecording(const QString& recording, double positionMs, const QString& note)
{
    m_notes->MarkRecording(recording.toStdString(), static_cast<std::int64_t>(positionMs), note.toStdString());
}

void Workbench::AskMark(MarkOn on, const std::string& source, std::optional<std::int64_t> position)
{
    if (!m_notes->Available())
        return m_prompter.Beep();
    Mark where;
    where.on = on;
    where.source = source;
    where.position = position;
    // Asked without blocking: the window that asked stays live behind it.
    auto* ask = new QInputDialog(QApplication::activeWindow() ? QApplication::activeWindow() : m_owner);
    ask->setObjectName("MarkNote");
    ask->setAttribute(Qt::WA_DeleteOnClose);
    ask->setWindowTitle("Mark");
    ask->setLabelText(QString::fromStdString("Note on " + PlaceText(where, m_model.roles) + ":"));
    connect(ask, &QInputDialog::textValueSelected, this, [this, where](const QString& note) {
        m_notes->MarkPlace(where.on, where.source, where.position, note.toStdString());
    });
    ask->open();
}

void Workbench::AskConversationMark(int slot, std::int64_t position)
{
    const auto texts = m_texts->texts();
    if (texts)
        for (const IncidentDocument& d : texts->documents)
            if (d.kind == DocumentKind::Conversation && d.index == slot)
                return AskMark(MarkOn::Conversation, d.source, position);
    m_prompter.Beep();
}

void Workbench::GoToMark(const Mark& mark)
{
    switch (mark.on) {
    case MarkOn::Recording:
        return m_list.PlayFrom(QString::fromStdString(mark.recording), static_cast<int>(mark.offsetMs / 1000));
    case MarkOn::Document:
    case MarkOn::Conversation:
        return ShowEntry(QString::fromStdString(mark.source), static_cast<int>(mark.position.value_or(0)));
    case MarkOn::Person: {
        int role = 0;
        int person = 0;
        if (std::sscanf(mark.source.c_str(), "Record:%d:%d", &role, &person) == 2)
            m_windows.recordSheet(role, person);
        return;
    }
    }
}

std::map<std::string, std::vector<WaveformTick>> Workbench::WaveformMarks() const
{
    std::map<std::string, std::vector<WaveformTick>> ticks;
    for (const Mark& m : m_notes->marks())
        if (m.on == MarkOn::Recording)
            ticks[m.recording].push_back({static_cast<double>(m.offsetMs), QString::fromStdString(m.note)});
    return ticks;
}

void Workbench::ShowEntry(const QString& source, int position)
{
    const auto texts = m_texts->texts();
    if (!texts)
        return;
    const std::string name = source.toStdString();
    const auto doc = std::find_if(
        texts->documents.begin(), texts->documents.end(), [&](const IncidentDocument& d) { return d.source == name; });
    if (doc == texts->documents.end())
        return;
    // The whole entry is selected: to where the next one begins.
    const DatedEntry* entry = EntryHolding(doc->entries, position);
    OpenHit(*doc, position, static_cast<int>(entry ? entry->end - position : 0));
}

void Workbench::OpenSearch()
{
    SearchWindow* window = m_search.OpenOrRaise([this] {
        auto* search = new SearchWindow({m_model.Formats, m_model.roles}, m_owner);
        // The documents of the incident: now when they are read, else when they arrive.
        if (auto texts = m_texts->texts())
            search->SetTexts(std::move(texts));
        connect(m_texts, &IncidentTextsLoader::ready, search, [this, search] { search->SetTexts(m_texts->texts()); });
        connect(search, &SearchWindow::hitActivated, this, &Workbench::OpenHit);
        return search;
    });
    window->activateWindow();
    window->field()->setFocus();
}

void Workbench::OpenHit(const IncidentDocument& document, int position, int length)
{
    switch (document.kind) {
    case DocumentKind::Log:
        if (DocViewer* viewer = m_windows.logViewer())
            viewer->ShowRange(document.index, position, position + length);
        return;
    case DocumentKind::Conversation:
        if (TextConvViewer* viewer = m_windows.conversations())
            viewer->ShowRange(document.index, position, position + length);
        return;
    case DocumentKind::RecordSheet:
        return m_windows.recordSheet(document.index, document.person);
    case DocumentKind::Attachments: {
        // A line of the list per attachment, in the list's order.
        const auto before = std::u16string_view(document.text).substr(0, static_cast<std::size_t>(position));
        if (AttachFORM* form = m_windows.attachments())
            form->SelectRow(static_cast<int>(std::count(before.begin(), before.end(), u'\n')));
        return;
    }
    }
}

} // namespace pellam
