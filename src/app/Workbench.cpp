#include "app/Workbench.h"

#include "app/RecordingListController.h"
#include "app/Shell.h"
#include "attachments/ui/AttachFORM.h"
#include "conversations/ui/TextConvViewer.h"
#include "logs/ui/DocViewer.h"
#include "workbench/ui/IncidentTextsLoader.h"
#include "workbench/ui/SearchWindow.h"
#include "workbench/ui/TimelineWindow.h"

#include <QApplication>
#include <QLineEdit>

#include <algorithm>

namespace pellam {

Workbench::Workbench(const IncidentModel& model, Shell& shell, Prompter& prompter, RecordingListController& list,
    DocumentWindows windows, QWidget* owner)
    : QObject(owner), m_model(model), m_shell(shell), m_prompter(prompter), m_list(list), m_windows(std::move(windows)),
      m_owner(owner), m_texts(new IncidentTextsLoader(this))
{
    // A timeline opened before the documents were read fills in once they are.
    connect(m_texts, &IncidentTextsLoader::ready, this, [this] {
        if (m_timeline && !m_timeline.get()->timeline())
            m_timeline.get()->SetTimeline(m_texts->timeline());
    });
}

void Workbench::IncidentOpened()
{
    if (m_model.IncidentFound)
        m_texts->Load(m_model);
}

void Workbench::Clear()
{
    Close();
    m_texts->Clear();
}

void Workbench::Close()
{
    m_search.Close();
    m_timeline.Close();
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
