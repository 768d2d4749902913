#include "app/Main.h"

#include "analysis/ui/StatsWindow.h"
#include "app/About.h"
#include "app/CaseReportRun.h"
#include "app/CornerLabel.h"
#include "app/IncidentOpenDriver.h"
#include "app/ManifestExport.h"
#include "app/PersonRecords.h"
#include "app/Program.h"
#include "app/RecordingListController.h"
#include "app/Shell.h"
#include "app/Startup.h"
#include "app/Workbench.h"
#include "attachments/ui/AttachFORM.h"
#include "attachments/ui/InfoS.h"
#include "audio/ui/LoadSequenceDriver.h"
#include "audio/ui/PlaybackPanel.h"
#include "audio/ui/QtWaveBackend.h"
#include "audio/ui/TransportControls.h"
#include "base/Cp1252.h"
#include "base/PathText.h"
#include "base/Twips.h"
#include "conversations/ui/TextConvViewer.h"
#include "logs/ui/DocViewer.h"
#include "notes/ui/NotesSession.h"
#include "records/ui/RCEV.h"
#include "richtext/RtfReader.h"
#include "workbench/IncidentTexts.h"
#include "workspace/MainLayout.h"
#include "workspace/ui/RecordingListView.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>

#include <algorithm>

namespace pellam {
namespace {

// The name a printed log goes by.
std::string LogName(const Paths& paths, const std::string& path)
{
    if (path == paths.NocLog)
        return "NOC Log";
    if (path == paths.AdminLog)
        return "Admin Log";
    if (path == paths.NppReport)
        return "NPP Report";
    return "Main Log";
}

} // namespace

Main::Main(Prompter& prompter, Shell& shell, std::unique_ptr<WaveOutBackend> backend, QWidget* parent)
    : QMainWindow(parent), m_prompter(prompter), m_shell(shell),
      m_backend(backend ? std::move(backend) : std::make_unique<QtWaveBackend>())
{
    setObjectName("Main");
    setWindowTitle("Norvik Technologies: Pellam");
    m_player = std::make_unique<WAVPlayer>(*m_backend, m_dispatcher);
    (void)m_player->SetSelectedDevice(-1); // the system's default output

    m_menu = new MainMenu(menuBar());
    connect(m_menu, &MainMenu::triggered, this, &Main::Choose);
    // Opening the menu closes the recording-details window.
    connect(m_menu, &MainMenu::opening, this, [this] { m_list->KillInfo(); });
    BuildControls();
    m_manifest = new ManifestExport(m_shell, m_prompter, this);
    connect(m_manifest, &ManifestExport::changed, this, &Main::ShowBarAndMenus);

    m_opening = new IncidentOpenDriver(m_model, this);
    connect(m_opening, &IncidentOpenDriver::changed, this, &Main::Render);
    connect(m_opening, &IncidentOpenDriver::passEnded, m_list, &RecordingListController::KillInfo);
    m_workbench = new Workbench(m_model, m_shell, m_prompter, *m_list,
        {[this] { return OpenLogViewer(); }, [this] { return OpenConversations(); },
            [this] { return OpenAttachments(); }, [this](int role, int person) { m_records->OpenSheet(role, person); }},
        this);
    connect(m_opening, &IncidentOpenDriver::passEnded, m_workbench, &Workbench::IncidentOpened);
    // Marks made on the panel go to the notes, and the notes of the loaded recording show on its waveform.
    connect(m_panel, &PlaybackPanel::markMade, this, [this](double positionMs, const QString& note) {
        m_workbench->MarkRecording(QString::fromStdString(m_load->sequence().LoadedMP3), positionMs, note);
    });
    connect(&m_workbench->notes(), &NotesSession::marksChanged, this,
        [this] { m_panel->ShowMarks(m_workbench->WaveformMarks()); });
    // The timeline's playhead follows the panel's time label.
    connect(m_panel, &PlaybackPanel::positionShown, this, [this](double positionMs) {
        if (!m_load) // the window is going
            return;
        const bool loaded = m_player->Status() != PlayerStatus::Stopped;
        m_workbench->ShowPlayhead(
            QString::fromStdString(m_load->sequence().LoadedMP3), loaded ? std::optional(positionMs) : std::nullopt);
    });
    m_startup = new Startup(m_shell, m_prompter, m_about, m_model.paths.Temp, this);
    connect(m_startup, &Startup::secondHalf, this, &Main::ContinueLoad);
    connect(m_startup, &Startup::ready, this, &Main::ready);
    connect(m_startup, &Startup::failed, this, [this] {
        close();
        // The window may never have been shown, so closing it ends nothing
        // by itself: the program is told to end.
        emit startupFailed();
    });
    m_records = std::make_unique<PersonRecords>(m_model, m_shell, m_prompter, this);
    m_caseReport = new CaseReportRun(m_model, m_shell, m_prompter, this);
    m_records->OnSheetOpened([this](RCEV* sheet) {
        connect(sheet, &RCEV::markRequested, m_workbench, [this](int role, int person) {
            m_workbench->AskMark(MarkOn::Person, PersonSource(role, person), std::nullopt);
        });
    });
    m_menu->Apply(m_shown.menus);
}

Main::~Main()
{
    // The load driver and the panel use the player, which is a member and so
    // goes before the window's children would: they go first.
    delete m_load;
    m_load = nullptr;
    delete m_list;
    m_pb1->removeEventFilter(this);
    delete takeCentralWidget();
    m_panel = nullptr;
    if (m_shown.Hourglass)
        QApplication::restoreOverrideCursor();
}

void Main::BuildControls()
{
    auto* central = new QWidget(this);
    setCentralWidget(central);
    m_pb1 = new QProgressBar(central);
    m_pb1->setObjectName("PB1");
    m_pb1->setTextVisible(false);
    m_pb1->setValue(0);
    m_pb1->hide(); // shown only while an incident is being opened
    m_pb1->installEventFilter(this); // the list takes the bar's room while it is hidden

    m_panel = new PlaybackPanel(*m_player, m_prompter, central);
    m_panel->setObjectName("Frame1");
    // The driver asks the list for its selection; the list is made right after it.
    m_load = new LoadSequenceDriver(
        *m_panel, *m_player, m_decoded, m_prompter, [this] { return m_list->SelectedRecording(); });
    m_list = new RecordingListController(m_model, *m_load, *m_player, *m_panel, m_prompter, central, this);
    m_transport = new TransportControls(*m_player, *m_panel, m_prompter, this);
    m_transport->ListenIn(m_list->view());
    m_transport->ListenIn(m_panel);
    m_menu->AddPlayback(m_transport->Actions());

    m_corner = new CornerLabels(menuBar());
    central->setMinimumSize(TwipsToPixels(kMinClientWidthTwips), TwipsToPixels(kMinClientHeightTwips));
}

void Main::FitFirstSize()
{
    // The designed size, as far as the screen's free area takes it with the
    // window manager's frame (not known before the window shows) around it:
    // on a small or highly scaled screen the playback panel stays in view.
    constexpr int kFrameWidth = 16;
    constexpr int kFrameHeight = 48;
    QSize size(TwipsToPixels(kMainWidthTwips), TwipsToPixels(kMainHeightTwips));
    if (const QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        size = size.boundedTo(area.size() - QSize(kFrameWidth, kFrameHeight)).expandedTo(minimumSizeHint());
        move(area.topLeft() + QPoint((area.width() - size.width() - kFrameWidth) / 2, 0));
    }
    resize(size);
}

void Main::Form_Load(bool showSplash)
{
    m_panel->SetStatus({"Norvik Technologies", kStatusCyan});
    FitFirstSize();
    // The same rule as pellam-cli: dates and times as LC_TIME says, the
    // decimal separator as LC_NUMERIC says (LC_ALL over both, LANG under).
    m_model.Formats = LocaleFormats::FromEnvironment();
    m_startup->Begin(showSplash);
}

void Main::ContinueLoad()
{
    m_corner->SetPath(QCoreApplication::applicationDirPath());
    setWindowTitle(QString::fromStdString(BaseTitle()));
    emit ready();
}

void Main::BeginOpen()
{
    m_manifest->Cancel(); // it was the last incident's
    CloseAllWindows();
    m_workbench->Clear();
    m_panel->SetStatus({"", kStatusYellow});
}

void Main::mnuOpen()
{
    BeginOpen();
    const QString chosen = m_shell.ChooseEventFile(OpenDialogFolder());
    if (!chosen.isEmpty())
        OpenEventFile(chosen);
}

void Main::OpenFromCommandLine(const QString& given)
{
    BeginOpen();
    const auto checked = CheckEventFileArgument(given.toStdString());
    if (!checked)
        return m_prompter.Show(checked.error());
    OpenEventFile(QString::fromStdString(checked.value()));
}

void Main::OpenEventFile(const QString& path)
{
    const auto opened = m_opening->Open(path);
    if (!opened)
        return m_prompter.Show(opened.error());
    m_list->view()->SetEmptyHint(QString()); // an incident with no recording shows an empty list
    if (opened.value().notice)
        m_prompter.Show(*opened.value().notice);
}

bool Main::Loading() const
{
    return m_opening->Loading();
}

void Main::Render()
{
    const ViewState view = ViewOf(m_model, m_opening->open());
    setWindowTitle(QString::fromStdString(view.title));
    m_corner->SetPath(QString::fromStdString(view.PathLabel));
    m_corner->SetPhoto(QString::fromStdString(view.PhotoLabel));
    m_list->Sync();
    // One hourglass of our own on the application's stack; the playback
    // panel keeps its own for the load sequence.
    if (view.Hourglass && !m_shown.Hourglass)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else if (!view.Hourglass && m_shown.Hourglass)
        QApplication::restoreOverrideCursor();
    m_shown = view;
    ShowBarAndMenus();
}

void Main::ShowBarAndMenus()
{
    const bool exporting = m_manifest->Running();
    const ProgressBar bar = exporting ? m_manifest->Progress() : m_shown.Progress;
    m_pb1->setMaximum(std::max(1, bar.Max));
    m_pb1->setValue(std::min(bar.Value, m_pb1->maximum()));
    m_pb1->setVisible(Loading() || exporting);
    MenuState menus = m_shown.menus;
    if (exporting) // one export at a time
        menus.SetEnabled(MenuEntry::ExportHashManifest, false);
    m_menu->Apply(menus);
}

void Main::Choose(MenuEntry e)
{
    // The commands that open a window of their own, or print, close the recording-details window.
    if (e != MenuEntry::Attachments && e != MenuEntry::TextConversations && e != MenuEntry::Vistrel
        && e != MenuEntry::IntelUploadFiles && e != MenuEntry::Exit)
        m_list->KillInfo();
    const FolderPath& evidence = m_model.paths.Evidence;
    switch (e) {
    case MenuEntry::OpenIncident:
        return mnuOpen();
    case MenuEntry::OpenAnotherIncident:
        // This window keeps its one incident; another copy takes the other.
        if (const QString chosen = m_shell.ChooseEventFile(OpenDialogFolder()); !chosen.isEmpty())
            m_shell.StartCopy(chosen);
        return;
    case MenuEntry::LogFileViewer:
        OpenLogViewer();
        return;
    case MenuEntry::TextConversations:
        OpenConversations();
        return;
    case MenuEntry::RecordViewer:
        return m_records->OpenList();
    case MenuEntry::Vistrel:
        return StartSiblingProgram(evidence, m_shell, m_prompter);
    case MenuEntry::Attachments:
        OpenAttachments();
        return;
    case MenuEntry::IntelUploadFiles:
        if (Utf8Length(m_model.CaseNumber) > 1)
            m_shell.OpenWithDesktop(evidence.Join("IntelUpload"));
        return;
    case MenuEntry::Statistics:
        return OpenStatistics();
    case MenuEntry::Timeline:
        return m_workbench->OpenTimeline();
    case MenuEntry::SearchEverything:
        return m_workbench->OpenSearch();
    case MenuEntry::Notes:
        return m_workbench->OpenNotes();
    case MenuEntry::PrintMainLog:
        return PrintLOG(m_model.paths.MainLog);
    case MenuEntry::PrintNolLog:
        return PrintLOG(m_model.paths.NocLog);
    case MenuEntry::PrintAdminLog:
        return PrintLOG(m_model.paths.AdminLog);
    case MenuEntry::PrintNppReport:
        return PrintLOG(m_model.paths.NppReport);
    case MenuEntry::CaseReport:
        return m_caseReport->Start();
    case MenuEntry::About:
        return m_startup->ShowAbout(m_startup->SplashShown());
    case MenuEntry::Exit:
        close();
        return;
    case MenuEntry::ExportHashManifest:
        return m_manifest->Begin(evidence, m_model.CaseNumber);
    case MenuEntry::Print:
        return;
    }
}

DocViewer* Main::OpenLogViewer()
{
    m_logViewer.OpenOrRaise([this] {
        const Paths& p = m_model.paths;
        auto* viewer = new DocViewer(
            {{p.MainLog, p.NocLog, p.AdminLog, p.NppReport}, m_model.CaseNumber, p.Evidence}, m_prompter, this);
        viewer->setWindowFlag(Qt::Window, true);
        connect(viewer, &DocViewer::notationActivated, m_list, &RecordingListController::PlayNotation);
        connect(viewer, &DocViewer::markRequested, this, [this](int log, qint64 position) {
            m_workbench->AskMark(MarkOn::Document, kLogSources[log & 3], position);
        });
        connect(viewer, &DocViewer::printRequested, this,
            [this](const QString& path) { PrintLOG(QFile::encodeName(path).toStdString()); });
        return viewer;
    });
    // A log that failed to load closes the viewer at once.
    return m_logViewer.get();
}

void Main::OpenStatistics()
{
    m_stats.OpenOrRaise([this] {
        StatsInput input {StatisticsOf(m_model), m_model.RecordsPath, m_model.roles, CrcTestInputOf(m_model),
            PrinterChoiceOf(m_shell, m_prompter, m_model)};
        return new StatsWindow(std::move(input), m_prompter, this);
    });
}

RCEV* Main::recordSheet() const
{
    return m_records->sheet();
}

bool Main::LogViewerOpen() const
{
    return m_logViewer && m_logViewer.get()->LogViewerOpen();
}

void Main::CloseAllWindows()
{
    m_about.Close();
    m_logViewer.Close();
    m_stats.Close();
    m_records->Close();
    m_attach.Close();
    m_textConv.Close();
    m_workbench->Close();
    m_list->KillInfo();
}

void Main::PrintLOG(const std::string& path)
{
    if (path == kNone)
        return;
    CloseAllWindows();
    const auto doc = LoadRichTextFile(path);
    if (!doc)
        return;
    PrintDocument(*doc, LogName(m_model.paths, path), kLogMargins, PrinterChoiceOf(m_shell, m_prompter, m_model), this);
}

void Main::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    m_list->KillInfo();
    PlaceControls();
    m_panel->restartReGraph();
}

bool Main::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pb1 && (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
        PlaceControls();
    return QMainWindow::eventFilter(watched, event);
}

void Main::PlaceControls()
{
    const QWidget* client = centralWidget();
    // The client area of the designed window: its height less the menu bar's.
    const int designedClient = kMainHeightTwips - PixelsToTwips(height() - client->height());
    const ClientLayout l = LayoutInClient(
        PixelsToTwips(client->height()), PixelsToTwips(client->width()), m_pb1->isVisibleTo(this), designedClient);
    const auto place = [](QWidget* w, const Box& b) {
        // Edges are rounded, not sizes, so parts that share an edge in twips share it in pixels.
        const int x = TwipsToPixels(b.x);
        const int y = TwipsToPixels(b.y);
        w->setGeometry(x, y, std::max(0, TwipsToPixels(b.right()) - x), std::max(0, TwipsToPixels(b.bottom()) - y));
    };
    place(m_list->view(), l.list);
    place(m_panel, l.frame);
    place(m_pb1, l.progress);
}

void Main::closeEvent(QCloseEvent* event)
{
    m_opening->Stop();
    m_manifest->Cancel();
    m_about.Close();
    m_list->KillInfo();
    event->accept();
}

TextConvViewer* Main::OpenConversations()
{
    return m_textConv.OpenOrRaise([this] {
        auto* viewer = new TextConvViewer(
            {m_model.paths.Evidence, m_model.CaseNumber, PrinterChoiceOf(m_shell, m_prompter, m_model)}, m_prompter,
            this);
        connect(viewer, &TextConvViewer::markRequested, m_workbench, &Workbench::AskConversationMark);
        return viewer;
    });
}

AttachFORM* Main::OpenAttachments()
{
    return m_attach.OpenOrRaise([this] {
        return new AttachFORM({m_model.CaseNumber, m_model.attachments, m_model.attachFolder}, m_prompter, this);
    });
}

} // namespace pellam
