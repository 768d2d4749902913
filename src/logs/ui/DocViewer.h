#pragma once
// The incident log viewer: the four logs of an incident on four tabs, a
// search per log, the log printouts, and on the Main Log the link from a
// notation to the moment it was spoken. A very large log opens with a notice
// and is shown a part at a time (LogParts); its box then holds one part,
// and positions in the box are the part's.
#include "base/FolderPath.h"
#include "base/Prompter.h"
#include "logs/LogSearch.h"
#include "logs/NotationLink.h"
#include "richtext/RichDocument.h"
#include "richtext/TextPositions.h"

#include <QMainWindow>
#include <QTimer>

#include <array>
#include <string>
#include <vector>

class QLabel;
class QToolButton;
class QLineEdit;
class QPrintPreviewDialog;
class QPushButton;
class QTabWidget;
class QTextEdit;

namespace pellam {

// What the viewer needs of the incident.
struct LogViewerInput {
    // Full paths, or "NONE" for a log the incident does not have; in the order
    // Main Log, NOC Communications Log, ADMIN Communications Log, Negotiator
    // Position Paper.
    std::array<std::string, 4> paths;
    std::string caseNumber;
    FolderPath evidenceFolder; // for the load-failure message
};

class DocViewer : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kLogs = 4;
    static constexpr int kMinimumWidthTwips = 11400;

    DocViewer(LogViewerInput input, Prompter& prompter, QWidget* parent = nullptr);

    // True once every present log has loaded (the title then names the case).
    bool LogViewerOpen() const { return m_open; }

    // A press of log i's SEARCH button (Enter in its search box does the same).
    void Search(int log);
    // "Print Preview": the log file of the selected tab as it would print, in
    // a preview window whose own print button prints it the same way. Nothing
    // when the file cannot be read.
    QPrintPreviewDialog* PreviewLog();
    // The notation-to-recording link for a double-click at view position `viewPos` of the Main Log.
    void MainLogDoubleClicked(int viewPos);
    // The name highlight for a click whose caret landed at view position `viewPos` of the Main Log.
    void MainLogClicked(int viewPos);

    // Shows log i's tab with the document positions [start, end) selected and
    // scrolled into view (the timeline and the search across the incident
    // open a log at an entry or a hit this way).
    void ShowRange(int log, std::int64_t start, std::int64_t end);

    // The parts of log i (one unless it is very large) and the one shown.
    std::size_t partCount(int log) const { return m_parts[static_cast<std::size_t>(log)].size(); }
    std::size_t shownPart(int log) const { return m_part[static_cast<std::size_t>(log)]; }
    void ShowPart(int log, std::size_t part);
    // "Mark This Entry…" of the context menu at view position viewPos of log i's box.
    void RequestMark(int log, int viewPos);

    QTextEdit* logBox(int log) const { return m_boxes[static_cast<std::size_t>(log)]; }
    const SearchState& searchState(int log) const { return m_search[static_cast<std::size_t>(log)]; }

signals:
    // A notation's recording is to be played from an offset (whole seconds).
    void notationActivated(const QString& recording, int noteAudioStart);
    // A log file is to be printed (the main window prints it).
    void printRequested(const QString& path);
    // The examiner asked for a mark at document position `position` of log i
    // (the box's context menu).
    void markRequested(int log, qint64 position);
    void closed();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Load();
    void ShowSearchPair(int log);
    void Layout();
    // The view position in the box of log i where its shown part begins.
    std::int64_t PartViewStart(int log) const;
    std::int64_t ToDocument(int log, int viewPos) const;
    // Selects the document positions [start, end) of log i, showing their part first.
    void SelectDocumentRange(int log, std::int64_t start, std::int64_t end);

    LogViewerInput m_input;
    Prompter& m_prompter;
    bool m_open = false;

    QTabWidget* m_tabs = nullptr;
    std::array<QTextEdit*, kLogs> m_boxes {};
    std::array<QLineEdit*, kLogs> m_searchBoxes {};
    std::array<QPushButton*, kLogs> m_searchButtons {};
    std::array<QAction*, kLogs> m_printEntries {};
    std::array<SearchState, kLogs> m_search {};
    std::array<RichDocument, kLogs> m_docs {};
    std::array<TextPositions, kLogs> m_positions {};
    std::array<std::vector<std::size_t>, kLogs> m_parts {};
    std::array<std::size_t, kLogs> m_part {};
    std::array<QWidget*, kLogs> m_pagers {};
    std::array<QLabel*, kLogs> m_partLabels {};
    std::array<QToolButton*, kLogs> m_partBack {};
    std::array<QToolButton*, kLogs> m_partNext {};
    QTimer m_mp3Tim {this};
};

} // namespace pellam
