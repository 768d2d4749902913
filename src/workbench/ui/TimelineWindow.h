#pragma once
// The timeline window: the painted view of the incident's time axis with its
// scroll bar, "Fit", "Print…" and "Export PNG…", and what a click on a mark
// asks of the main window (play a recording, open a log at an entry).
#include "richtext/ui/PrintView.h"
#include "workbench/Timeline.h"
#include "workbench/ui/TimelineView.h"
#include "workspace/LocaleFormats.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QPushButton;
class QScrollBar;

namespace pellam {

class Prompter;

// Asks for the file to save into, suggesting a name; "" when cancelled.
using SaveFileChooser = std::function<QString(const QString& suggested)>;

// What the timeline window reads: the model (none while the documents are
// still being read), the locale's date and time patterns, the case number
// for titles, the printer choice and the question for a picture's file.
struct TimelineWindowInput {
    std::shared_ptr<const Timeline> timeline;
    LocaleFormats formats;
    std::string caseNumber;
    PrinterChooser choosePrinter;
    SaveFileChooser chooseImageFile;
};

class TimelineWindow final : public QWidget {
    Q_OBJECT
public:
    TimelineWindow(TimelineWindowInput input, Prompter& prompter, QWidget* parent = nullptr);
    ~TimelineWindow() override;

    // The model, once the documents are read (the window opens without it).
    void SetTimeline(std::shared_ptr<const Timeline> timeline);
    const Timeline* timeline() const { return m_input.timeline.get(); }

    // The recording being played and the player's position in it; nothing
    // when nothing plays. The line is drawn on that recording's bar.
    void SetPlayhead(const QString& recording, std::optional<double> positionMs);

    TimelineView* view() const { return m_view; }
    QScrollBar* scrollBar() const { return m_scroll; }
    TimelineScale& scale();
    // The view drawn into a picture of its present size.
    QImage Picture() const;

    void Fit();
    // "Print…": a title line and the picture of what is shown.
    PrintOutcome Print();
    // "Export PNG…": the picture into the file the operator names.
    void ExportPng();

signals:
    // A notation's mark: its recording from its offset, with the lead-in a
    // notation gets (the log viewer's notationActivated).
    void notationActivated(const QString& recording, int second);
    // A recording's bar: the recording from the moment clicked.
    void recordingActivated(const QString& recording, int second);
    // A log entry's or a conversation line's mark: the entry at its position
    // in the document `source`.
    void entryActivated(const QString& source, int position);

private:
    void SyncScrollBar();

    TimelineWindowInput m_input;
    Prompter& m_prompter;
    TimelineView* m_view;
    QScrollBar* m_scroll;
    QLabel* m_waiting;
    QPushButton* m_fit;
    QPushButton* m_print;
    QPushButton* m_export;
};

} // namespace pellam
