#pragma once
// The main window: it lives for the whole run, owns the program-wide Session,
// holds the recording list and the playback panel, and its one menu opens the
// incident and every other window.
#include "audio/Decoder.h"
#include "audio/RecordingRef.h"
#include "audio/WAVPlayer.h"
#include "audio/WaveOutBackend.h"
#include "audio/ui/QtDispatcher.h"
#include "base/Prompter.h"
#include "media/cMP3ID3v2.h"
#include "workspace/MenuState.h"
#include "workspace/OpenIncident.h"
#include "workspace/Session.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class QMenu;
class QModelIndex;
class QPrinter;
class QProgressBar;

namespace pellam {

class About;
class DocViewer;
class StatsWindow;
class RecordViewer;
class RecordSheetSlot;
class RCEV;
class DesktopOpener;
class AttachFORM;
class TextConvViewer;
class InfoS;

class LoadSequenceDriver;
class PlaybackPanel;
class RecordingListView;
class RecordingTableModel;
class TextSortProxy;

// What the empty recording list says while no incident is open.
inline constexpr const char* kOpenIncidentHint = "Open an incident: Menu \u2192 Open Incident (Ctrl+O)";

class Main : public QMainWindow {
    Q_OBJECT
public:
    // The sound backend and decoder may be replaced (tests); by default the
    // program plays through the sound server and decodes with lame.
    explicit Main(Prompter& prompter, std::unique_ptr<WaveOutBackend> backend = nullptr,
        std::unique_ptr<Decoder> decoder = nullptr, QWidget* parent = nullptr);
    ~Main() override;

    Session& session() { return m_session; }
    Prompter& prompter() { return m_prompter; }
    WAVPlayer& player() { return *m_player; }
    PlaybackPanel& panel() { return *m_panel; }
    LoadSequenceDriver& loader() { return *m_load; }

    // Start-up, first half: splash, then the working folder. With
    // showSplash false (tests) the splash is skipped and start-up goes on at once.
    void Form_Load(bool showSplash = true);
    // Start-up, second half (200 ms after the splash closed).
    void ContinueLoad();

    // "Open Incident": asks for the event file, then opens it.
    void mnuOpen();
    // An event file named on the command line: checked, then opened exactly as
    // if chosen in "Open Incident"; a missing file, a folder or another kind of
    // file gets a message saying what was given and what is expected.
    void OpenFromCommandLine(const QString& given);
    // The open sequence for a chosen event file (what the dialog returned or
    // the command line named; a relative path is taken from the current folder).
    void OpenEventFile(const QString& path);
    // The folder the open dialog starts in: that of the last incident opened,
    // else the home folder.
    QString OpenDialogFolder() const;
    // One 20 ms step of the duration pass and FinishLoadUp.
    void GetDirsTIMTick();
    QTimer& GetDirsTIM() { return m_getDirsTim; }
    bool Loading() const { return m_open && !m_open->Finished(); }
    // Asks for the event file; replaced by tests.
    std::function<QString()> ChooseEventFile;
    // Establishes the working folder (false when it cannot); replaced by tests.
    std::function<bool(FolderPath& temp)> MakeWorkFolder;
    // Every open with the desktop goes through here: a path that is missing
    // or that nothing opened gets a message naming it, so the operator can
    // open it by hand. False when the path is missing.
    bool OpenWithDesktop(const std::string& path);
    DesktopOpener& desktop() const { return *m_desktop; }
    // Whether this program runs with root's rights; replaced by tests.
    std::function<bool()> RunningAsRoot;

    // Shared procedures other windows call.
    void CloseAllWindows();
    void KillInfo();
    static bool SetTopMost(QWidget* window);
    bool InfoSUp() const { return !m_info.isNull(); }

    // The menu entries as shown, rendered from session().menus.
    QAction* action(MenuEntry e) const { return m_actions.at(e); }
    void ApplyMenus();

    QProgressBar* PB1() const { return m_pb1; }
    QLabel* NPLabel() const;
    QWidget* Frame1() const;
    QTimer& AboutTIM() { return m_aboutTim; }
    About* aboutWindow() const;
    InfoS* infoWindow() const;

    // Recording list events. Rows carry their recording number; the path of
    // a recording is always MP3Paths' entry, never a column's text.
    void LV1ColumnClick(int column); // 0-based
    void LV1RowClick(const QModelIndex& index);
    void LV1MouseUp(Qt::MouseButton button, QPoint releasePoint);
    void LV1DoubleClick();
    // The recording-details window for the selected row, at a point of the list.
    void ShowDetails(QPoint releasePoint);
    // Space over the list or the panel: Pause while playing, else Play.
    void TogglePlayPause();

    // Menu actions.
    void mnuAbout();
    void mnuSB(); // "Vistrel"
    void mnuIU(); // "Intel Upload Files"
    void mnuVREC(); // "Record Viewer"
    void mnuVML(); // "Log File Viewer"
    // The viewer's own flag: false while it is closed and after a log failed to load.
    bool LogViewerOpen() const;
    DocViewer* logViewer() const;
    // "Statistics and CRC Analysis": opens the statistics window, or raises it.
    void mnuSTATS();
    StatsWindow* statsWindow() const;
    RecordViewer* recordViewer() const;
    // The record sheet lives beside the list: it stays when the list closes.
    RCEV* recordSheet() const;
    // "Attachments" and "Text Conversations": open the window, or raise it.
    void mnuAttach();
    AttachFORM* attachWindow() const;
    void mnuTXT();
    TextConvViewer* textConvViewer() const;

    // PrintLOG: closes the other windows, asks for the printer and prints a
    // log file with the log margins; nothing when the file cannot be read or
    // the printer dialog is cancelled.
    void PrintLOG(const std::string& path);
    // Asks for the printer (a queue or a PDF file); replaced by tests.
    std::function<bool(QPrinter&)> ChoosePrinter;
    // A notation's recording played from an offset: at once when it is the
    // loaded one, else its row is selected and it is decoded first.
    void PlayNotation(const QString& recording, int noteAudioStart);

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
    void BuildMenu();
    void BuildControls();
    void Form_Resize();
    // Places list, panel and progress bar in the client area.
    void PlaceControls();
    // What every open does first, whichever way the file was chosen.
    void BeginOpen();
    void Form_Unload();
    void ShowAbout(bool splashShown);
    void ShowMessage(const Message& m) { m_prompter.Show(m); }
    // Shows what the open sequence wrote into the session.
    void RenderSession();
    void RenderRows();
    void UpdatePointer();
    QString SelectedText() const;
    // The recording of a row of the list, taken from the recording table.
    std::optional<RecordingRef> RecordingAt(const QModelIndex& index) const;
    // The recording of the list's current row.
    std::optional<RecordingRef> SelectedRecording() const;
    // Marks the row of the recording the load sequence has loaded.
    void MarkLoadedRow();

    Session m_session;
    Prompter& m_prompter;
    bool m_splashShown = false;

    std::unique_ptr<WaveOutBackend> m_backend;
    std::unique_ptr<Decoder> m_decoder;
    QtDispatcher m_dispatcher;
    std::unique_ptr<WAVPlayer> m_player;
    cMP3ID3v2 m_tagReader; // the program's one tag reader

    QMenu* m_menu = nullptr;
    std::map<MenuEntry, QAction*> m_actions;
    RecordingListView* m_lv1 = nullptr;
    RecordingTableModel* m_rows = nullptr;
    TextSortProxy* m_sorted = nullptr;
    QProgressBar* m_pb1 = nullptr;
    PlaybackPanel* m_panel = nullptr;
    LoadSequenceDriver* m_load = nullptr;
    void SetCornerText(QLabel* label, const QString& text);
    QLabel* m_label2 = nullptr;
    QLabel* m_label5 = nullptr;

    std::unique_ptr<OpenIncident> m_open;
    QTimer m_aboutTim;
    QTimer m_getDirsTim;
    bool m_hourglass = false;
    QPointer<About> m_about;
    QPointer<InfoS> m_info;
    QPointer<DocViewer> m_logViewer;
    QPointer<StatsWindow> m_stats;
    QPointer<RecordViewer> m_records;
    std::unique_ptr<RecordSheetSlot> m_sheets;
    DesktopOpener* m_desktop = nullptr;
    QPointer<AttachFORM> m_attach;
    QPointer<TextConvViewer> m_textConv;
};

} // namespace pellam
