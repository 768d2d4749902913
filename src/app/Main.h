#pragma once
// The main window: it lives for the whole run, owns the incident model and
// the person records, holds the recording list and the playback panel, and its
// menus open the incident and every other window. It composes: the menu,
// the start-up, the open driver and the list controller do the work; the
// view state it shows is derived from the model.
#include "app/MainMenu.h"
#include "app/ViewState.h"
#include "app/WindowSlot.h"
#include "audio/DecodeCache.h"
#include "audio/WAVPlayer.h"
#include "audio/WaveOutBackend.h"
#include "audio/ui/QtDispatcher.h"
#include "base/Prompter.h"
#include "workspace/IncidentModel.h"

#include <QMainWindow>

#include <memory>

class QProgressBar;

namespace pellam {

class About;
class CaseReportRun;
class CornerLabels;
class AttachFORM;
class DocViewer;
class IncidentOpenDriver;
class Workbench;
class LoadSequenceDriver;
class ManifestExport;
class PlaybackPanel;
class TransportControls;
class RCEV;
class PersonRecords;
class RecordingListController;
class Shell;
class Startup;
class StatsWindow;
class TextConvViewer;

class Main : public QMainWindow {
    Q_OBJECT
public:
    // The sound backend may be replaced (tests); by default the program plays
    // through the sound server.
    Main(Prompter& prompter, Shell& shell, std::unique_ptr<WaveOutBackend> backend = nullptr, QWidget* parent = nullptr);
    ~Main() override;

    IncidentModel& incident() { return m_model; }
    WAVPlayer& player() { return *m_player; }
    PlaybackPanel& panel() { return *m_panel; }
    TransportControls& transport() { return *m_transport; }
    LoadSequenceDriver& loader() { return *m_load; }
    DecodeCache& decoded() { return m_decoded; }
    RecordingListController& list() { return *m_list; }
    IncidentOpenDriver& opening() { return *m_opening; }

    // Start-up, first half: splash, then the working folder. With
    // showSplash false (tests) the splash is skipped and start-up goes on at once.
    void Form_Load(bool showSplash = true);
    // Start-up, second half (200 ms after the splash closed).
    void ContinueLoad();

    // An event file named on the command line: checked, then opened exactly as
    // if chosen in "Open Incident"; a missing file, a folder or another kind of
    // file gets a message saying what was given and what is expected.
    void OpenFromCommandLine(const QString& given);
    // The open sequence for a chosen event file (what the dialog returned or
    // the command line named; a relative path is taken from the current folder).
    void OpenEventFile(const QString& path);
    bool Loading() const;

    // The menu entry's command, whether or not the entry is enabled.
    void Choose(MenuEntry e);
    QAction* action(MenuEntry e) const { return m_menu->action(e); }

    void CloseAllWindows();
    // PrintLOG: closes the other windows, asks for the printer and prints a
    // log file with the log margins; nothing when the incident has no such
    // log ("NONE"), the file cannot be read or the printer dialog is cancelled.
    void PrintLOG(const std::string& path);

    // The secondary windows are the window's children (findChild finds them).
    // The log viewer's own flag: false while it is closed and after a log failed to load.
    bool LogViewerOpen() const;
    // The record sheet lives beside the list: it stays when the list closes.
    RCEV* recordSheet() const;

signals:
    // Start-up is over: the window can be shown and used.
    void ready();
    // The working folder could not be made; its message was shown and the
    // program is to end.
    void startupFailed();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FitFirstSize();
    void BuildControls();
    // Places list, panel and progress bar in the client area.
    void PlaceControls();
    // "Open Incident": asks for the event file, then opens it.
    void mnuOpen();
    // What every open does first, whichever way the file was chosen.
    void BeginOpen();
    // Shows the view state derived from the model and the open.
    void Render();
    // The progress bar and the menus of the view state last shown, with the
    // hash manifest's export while it runs.
    void ShowBarAndMenus();
    DocViewer* OpenLogViewer();
    void OpenStatistics();
    AttachFORM* OpenAttachments();
    TextConvViewer* OpenConversations();

    IncidentModel m_model;
    Prompter& m_prompter;
    Shell& m_shell;
    ViewState m_shown; // the view state last shown

    std::unique_ptr<WaveOutBackend> m_backend;
    // The decoded recordings of this session, in the working folder; they go with the window.
    DecodeCache m_decoded {m_model.paths.Temp};
    QtDispatcher m_dispatcher;
    std::unique_ptr<WAVPlayer> m_player;

    MainMenu* m_menu = nullptr;
    QProgressBar* m_pb1 = nullptr;
    PlaybackPanel* m_panel = nullptr;
    TransportControls* m_transport = nullptr;
    LoadSequenceDriver* m_load = nullptr;
    RecordingListController* m_list = nullptr;
    IncidentOpenDriver* m_opening = nullptr;
    Startup* m_startup = nullptr;
    CornerLabels* m_corner = nullptr;
    // The timeline and the search across the incident.
    Workbench* m_workbench = nullptr;
    ManifestExport* m_manifest = nullptr;
    // "Case Report…", while it is built.
    CaseReportRun* m_caseReport = nullptr;

    WindowSlot<About> m_about;
    WindowSlot<DocViewer> m_logViewer;
    WindowSlot<StatsWindow> m_stats;
    std::unique_ptr<PersonRecords> m_records;
    WindowSlot<AttachFORM> m_attach;
    WindowSlot<TextConvViewer> m_textConv;
};

} // namespace pellam
