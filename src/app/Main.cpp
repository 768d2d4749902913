#include "app/Main.h"
#include "analysis/ui/StatsWindow.h"
#include "app/CornerLabel.h"
#include "app/Program.h"
#include "attachments/ui/AttachFORM.h"
#include "conversations/ui/TextConvViewer.h"
#include "records/ui/RCEV.h"
#include "records/ui/RecordViewer.h"

#include "logs/NotationLink.h"
#include "logs/ui/DocViewer.h"
#include "richtext/RtfReader.h"
#include "richtext/ui/PrintView.h"
#include "richtext/ui/TextDocumentBuilder.h"

#include "app/About.h"
#include "attachments/RecordingDetails.h"
#include "attachments/ui/InfoS.h"
#include "audio/ui/LoadSequenceDriver.h"
#include "audio/ui/PlaybackPanel.h"
#include "audio/ui/ProcessDecoder.h"
#include "audio/ui/QtWaveBackend.h"
#include "base/Cp1252.h"
#include "base/PathText.h"
#include "base/Twips.h"
#include "workspace/MainLayout.h"
#include "workspace/RecordingList.h"
#include "workspace/ServKILL.h"
#include "workspace/WorkFolder.h"
#include "workspace/ui/DesktopOpen.h"
#include "workspace/ui/RecordingListView.h"
#include "workspace/ui/RecordingTableModel.h"
#include "workspace/ui/TextSortProxy.h"
#include "workspace/ui/modLVSort.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPrinter>
#include <QProgressBar>
#include <QResizeEvent>
#include <QSettings>
#include <QShortcut>
#include <QTextDocument>
#include <QThreadPool>
#include <QToolButton>

#include <sys/stat.h>
#include <unistd.h>

namespace pellam {
namespace {

// Where the program keeps what it remembers between runs.
QSettings Settings()
{
    return QSettings(QStringLiteral("NorvikTECH"), QStringLiteral("Pellam"));
}
const QString kLastIncidentFolder = QStringLiteral("LastIncidentFolder");

} // namespace

Main::Main(
    Prompter& prompter, std::unique_ptr<WaveOutBackend> backend, std::unique_ptr<Decoder> decoder, QWidget* parent)
    : QMainWindow(parent), m_prompter(prompter),
      m_backend(backend ? std::move(backend) : std::make_unique<QtWaveBackend>()),
      m_decoder(decoder ? std::move(decoder) : std::make_unique<ProcessDecoder>())
{
    setObjectName("Main");
    setWindowTitle("Norvik Technologies: Pellam");
    m_player = std::make_unique<WAVPlayer>(*m_backend, m_dispatcher);
    (void)m_player->SetSelectedDevice(-1); // the system's default output

    BuildMenu();
    BuildControls();

    m_aboutTim.setInterval(200);
    connect(&m_aboutTim, &QTimer::timeout, this, [this] {
        m_aboutTim.stop();
        ContinueLoad();
    });
    m_getDirsTim.setInterval(20);
    connect(&m_getDirsTim, &QTimer::timeout, this, &Main::GetDirsTIMTick);

    ChooseEventFile = [this] {
        QFileDialog dialog(this, "Open Event", OpenDialogFolder(), "Event Files (*.evt)");
        dialog.resize(900, 600); // room for names and dates
        dialog.setDefaultSuffix("evt");
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setOption(QFileDialog::ReadOnly);
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                       : QString();
    };
    MakeWorkFolder = [](FolderPath& temp) {
        const auto made = MakeTempFolder();
        temp = made.value_or(temp);
        return made.ok();
    };
    m_desktop = new DesktopOpener(m_prompter, this);
    m_sheets = std::make_unique<RecordSheetSlot>(this);
    ApplyMenus();
}

Main::~Main()
{
    // The load driver and the panel use the player, which is a member and so
    // goes before the window's children would: they go first.
    delete m_load;
    m_load = nullptr;
    m_lv1->viewport()->removeEventFilter(this); // the list is half gone while its viewport dies
    m_lv1->removeEventFilter(this);
    m_pb1->removeEventFilter(this);
    delete takeCentralWidget();
    m_panel = nullptr;
    if (m_hourglass)
        QApplication::restoreOverrideCursor();
}

About* Main::aboutWindow() const
{
    return m_about.data();
}
InfoS* Main::infoWindow() const
{
    return m_info.data();
}
QLabel* Main::NPLabel() const
{
    return m_panel->NPLabel();
}
QWidget* Main::Frame1() const
{
    return m_panel;
}

void Main::BuildMenu()
{
    m_menu = menuBar()->addMenu("Menu");
    m_menu->setObjectName("mnuV");
    // Opening the menu closes the recording-details window.
    connect(m_menu, &QMenu::aboutToShow, this, &Main::KillInfo);

    auto add = [this](QMenu* menu, MenuEntry e, const char* name, QKeySequence keys = {}) {
        QAction* a = menu->addAction(MenuState::Caption(e));
        a->setObjectName(name);
        a->setShortcut(keys); // shown beside the caption; the caption itself is unchanged
        m_actions[e] = a;
        return a;
    };
    connect(add(m_menu, MenuEntry::OpenIncident, "mnuOpen", QKeySequence(Qt::CTRL | Qt::Key_O)), &QAction::triggered,
        this, &Main::mnuOpen);
    m_menu->addSeparator();
    QMenu* view = m_menu->addMenu("View");
    view->setObjectName("mnu7100");
    connect(add(view, MenuEntry::LogFileViewer, "mnuVML", QKeySequence(Qt::CTRL | Qt::Key_L)), &QAction::triggered,
        this, &Main::mnuVML);
    connect(add(view, MenuEntry::TextConversations, "mnuTXT"), &QAction::triggered, this, &Main::mnuTXT);
    connect(add(view, MenuEntry::RecordViewer, "mnuVREC"), &QAction::triggered, this, &Main::mnuVREC);
    connect(add(view, MenuEntry::Vistrel, "mnuSB"), &QAction::triggered, this, &Main::mnuSB);
    connect(add(view, MenuEntry::Attachments, "mnuAttach"), &QAction::triggered, this, &Main::mnuAttach);
    connect(add(view, MenuEntry::IntelUploadFiles, "mnuIU"), &QAction::triggered, this, &Main::mnuIU);
    view->addSeparator();
    connect(add(view, MenuEntry::Statistics, "mnuSTATS"), &QAction::triggered, this, &Main::mnuSTATS);

    QMenu* print = m_menu->addMenu("Print");
    print->setObjectName("mnuhPrnt");
    m_actions[MenuEntry::Print] = print->menuAction();
    for (auto [entry, name] :
        {std::pair {MenuEntry::PrintMainLog, "mnuPML"}, std::pair {MenuEntry::PrintNolLog, "mnuPNL"},
            std::pair {MenuEntry::PrintAdminLog, "mnuPAL"}, std::pair {MenuEntry::PrintNppReport, "mnuPNPP"}})
        connect(add(print, entry, name,
                    entry == MenuEntry::PrintMainLog ? QKeySequence(Qt::CTRL | Qt::Key_P) : QKeySequence()),
            &QAction::triggered, this, [this, entry] {
                KillInfo();
                const Paths& p = m_session.paths;
                const std::string& path = entry == MenuEntry::PrintMainLog ? p.MainLog
                    : entry == MenuEntry::PrintNolLog                      ? p.NocLog
                    : entry == MenuEntry::PrintAdminLog                    ? p.AdminLog
                                                                           : p.NppReport;
                if (path != kNone)
                    PrintLOG(path);
            });

    connect(add(m_menu, MenuEntry::About, "mnuAbout", QKeySequence(Qt::Key_F1)), &QAction::triggered, this,
        &Main::mnuAbout);
    m_menu->addSeparator();
    connect(add(m_menu, MenuEntry::Exit, "mnuEXIT", QKeySequence(Qt::CTRL | Qt::Key_Q)), &QAction::triggered, this,
        &Main::close);
}

void Main::BuildControls()
{
    auto* central = new QWidget(this);
    setCentralWidget(central);

    // The recording rows (in recording-number order) seen through a sort
    // proxy: the list starts in listing order and sorts on a header click.
    m_rows = new RecordingTableModel(this);
    m_sorted = new TextSortProxy(this);
    m_sorted->setSourceModel(m_rows);
    m_lv1 = new RecordingListView(central);
    m_lv1->setObjectName("LV1");
    m_lv1->setModel(m_sorted);
    m_lv1->SetEmptyHint(QString::fromUtf8(kOpenIncidentHint));
    m_lv1->header()->setSectionsClickable(true);
    m_lv1->header()->setStretchLastSection(false);
    for (int i = 0; i < RecordingTableModel::kColumns; ++i)
        m_lv1->setColumnWidth(i, TwipsToPixels(RecordingTableModel::ColumnWidthTwips(i)));
    connect(m_lv1->header(), &QHeaderView::sectionClicked, this, &Main::LV1ColumnClick);
    connect(m_lv1, &QAbstractItemView::clicked, this, &Main::LV1RowClick);
    m_lv1->viewport()->installEventFilter(this);
    m_lv1->installEventFilter(this); // Enter plays the current row

    m_pb1 = new QProgressBar(central);
    m_pb1->setObjectName("PB1");
    m_pb1->setTextVisible(false);
    m_pb1->setValue(0);
    m_pb1->hide(); // shown only while an incident is being opened
    m_pb1->installEventFilter(this); // the list takes the bar's room while it is hidden

    m_panel = new PlaybackPanel(*m_player, m_prompter, central);
    m_panel->setObjectName("Frame1");
    m_load = new LoadSequenceDriver(*m_panel, *m_player, *m_decoder, m_session.paths, m_prompter);
    m_load->SelectedRecording = [this] { return SelectedRecording(); };
    connect(
        m_lv1->selectionModel(), &QItemSelectionModel::currentChanged, m_load, [this] { m_load->CurrentRowChanged(); });

    // Space plays or pauses while the list or the panel has the focus.
    for (QWidget* area : {static_cast<QWidget*>(m_lv1), static_cast<QWidget*>(m_panel)}) {
        auto* space = new QShortcut(QKeySequence(Qt::Key_Space), area);
        space->setContext(Qt::WidgetWithChildrenShortcut);
        connect(space, &QShortcut::activated, this, &Main::TogglePlayPause);
    }

    // The path label and the diagnostic label sit in the menu bar's free
    // right-hand part: the list, the panel and the progress bar take the
    // whole client area the layout rules give out.
    auto* labels = new QWidget(menuBar());
    auto* row = new QHBoxLayout(labels);
    row->setContentsMargins(0, 0, 8, 0);
    row->setSpacing(24);
    m_label2 = new CornerLabel(labels);
    m_label2->setObjectName("Label2");
    m_label5 = new CornerLabel(labels);
    m_label5->setObjectName("Label5");
    for (QLabel* label : {m_label2, m_label5})
        row->addWidget(label, 1);
    menuBar()->setCornerWidget(labels, Qt::TopRightCorner);

    central->setMinimumSize(TwipsToPixels(kMinClientWidthTwips), TwipsToPixels(kMinClientHeightTwips));
}

void Main::ApplyMenus()
{
    for (auto& [entry, act] : m_actions) {
        act->setEnabled(m_session.menus[entry].enabled);
        act->setVisible(m_session.menus[entry].visible);
    }
}

void Main::Form_Load(bool showSplash)
{
    m_panel->SetStatus({"Norvik Technologies", kStatusCyan});
    resize(TwipsToPixels(kMainWidthTwips), TwipsToPixels(kMainHeightTwips));
    m_splashShown = false;
    // The same rule as pellam-cli: dates and times as LC_TIME says, the
    // decimal separator as LC_NUMERIC says (LC_ALL over both, LANG under).
    m_session.Formats = LocaleFormats::FromEnvironment();
    m_session.menus.SetEnabled(MenuEntry::Attachments, false);
    m_session.CRC.SetAlgorithm(1);
    ApplyMenus();

    auto establishWorkFolder = [this] {
        if (!MakeWorkFolder(m_session.paths.Temp)) {
            ShowMessage({"Error",
                std::string("Failed to establish a Temporary Folder on this PC. ") + kLineBreak
                    + "Perhaps the security levels are too high on this PC.",
                MessageIcon::Exclamation});
            close();
            // The window may never have been shown, so closing it ends nothing
            // by itself: the program is told to end.
            emit startupFailed();
            return false;
        }
        return true;
    };

    if (!showSplash) {
        m_splashShown = true;
        if (establishWorkFolder())
            ContinueLoad();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ShowAbout(false);
    // The splash is modal: start-up goes on when it closes, whether its time
    // ran out or it was clicked away. Only a splash that did its time starts
    // the timer that finishes start-up.
    connect(m_about, &About::splashFinished, &m_aboutTim, qOverload<>(&QTimer::start));
    connect(m_about, &QDialog::finished, this, [this, establishWorkFolder] {
        QApplication::restoreOverrideCursor();
        if (!establishWorkFolder())
            m_aboutTim.stop();
        else if (!m_aboutTim.isActive())
            emit ready(); // clicked away: start-up ends without its second half
    });
}

void Main::SetCornerText(QLabel* label, const QString& text)
{
    if (label->text() == text)
        return;
    label->setText(text);
    // The menu bar places its corner widget only when it is itself resized.
    QResizeEvent resize(menuBar()->size(), menuBar()->size());
    QCoreApplication::sendEvent(menuBar(), &resize);
}

void Main::ContinueLoad()
{
    SetCornerText(m_label2, QCoreApplication::applicationDirPath());
    m_session.title = BaseTitle();
    setWindowTitle(QString::fromStdString(m_session.title));
    emit ready();
}

void Main::BeginOpen()
{
    CloseAllWindows();
    m_panel->SetStatus({"", kStatusYellow});
}

void Main::mnuOpen()
{
    BeginOpen();
    const QString chosen = ChooseEventFile ? ChooseEventFile() : QString();
    if (chosen.isEmpty())
        return;
    OpenEventFile(chosen);
}

void Main::OpenFromCommandLine(const QString& given)
{
    BeginOpen();
    const auto checked = CheckEventFileArgument(given.toStdString());
    if (!checked) {
        ShowMessage(checked.error());
        return;
    }
    OpenEventFile(QString::fromStdString(checked.value()));
}

QString Main::OpenDialogFolder() const
{
    const QString last = Settings().value(kLastIncidentFolder).toString();
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    return QDir::homePath();
}

void Main::OpenEventFile(const QString& path)
{
    // The probe's threads yield to this one, which steps the pass and repaints.
    m_open = std::make_unique<OpenIncident>(m_session, std::make_unique<ThreadedProbe>(true));
    // Recordings are read by the paths built from this one: it must not
    // depend on the current folder.
    const auto opened = m_open->Open(MakeAbsolute(path.toStdString()));
    if (!opened) {
        m_open.reset();
        RenderSession();
        ShowMessage(opened.error());
        return;
    }
    // Remembered for the next open dialog. Writing the settings file can wait
    // on the disk for tens of milliseconds: not on the window's thread.
    QThreadPool::globalInstance()->start([folder = QString::fromStdString(m_session.paths.Evidence.str())] {
        Settings().setValue(kLastIncidentFolder, folder);
    });
    m_lv1->SetEmptyHint(QString()); // an incident with no recording shows an empty list
    RenderSession();
    if (opened.value().passRunning)
        m_getDirsTim.start();
    if (opened.value().notice)
        ShowMessage(*opened.value().notice);
}

void Main::GetDirsTIMTick()
{
    if (!m_open)
        return;
    const bool more = m_open->tick();
    RenderSession();
    if (!more) {
        m_getDirsTim.stop();
        KillInfo();
    }
}

void Main::RenderSession()
{
    setWindowTitle(QString::fromStdString(m_session.title));
    m_pb1->setMaximum(std::max(1, m_session.Progress.Max));
    m_pb1->setValue(std::min(m_session.Progress.Value, m_pb1->maximum()));
    SetCornerText(m_label2, QString::fromStdString(m_session.PathLabel));
    SetCornerText(m_label5, QString::fromStdString(m_session.PhotoLabel));
    m_pb1->setVisible(Loading());
    ApplyMenus();
    RenderRows();
    if (m_session.Hourglass != m_hourglass) {
        m_hourglass = m_session.Hourglass;
        UpdatePointer();
    }
}

void Main::RenderRows()
{
    // Only rows and cells that changed reach the view; a list sorted once
    // keeps itself in that order as rows arrive.
    m_rows->Sync(m_session.ListRows);
}

void Main::UpdatePointer()
{
    // One hourglass of our own on the application's stack; the playback
    // panel keeps its own for the load sequence.
    if (m_hourglass)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

QString Main::SelectedText() const
{
    const auto recording = SelectedRecording();
    return recording ? QString::fromStdString(recording->fileName) : QString();
}

std::optional<RecordingRef> Main::RecordingAt(const QModelIndex& index) const
{
    if (!index.isValid())
        return std::nullopt;
    const int number = index.data(RecordingTableModel::RecordingNumberRole).toInt();
    if (number < 1 || static_cast<std::size_t>(number) > m_session.MP3Paths.size())
        return std::nullopt;
    const std::string& path = m_session.MP3Paths[static_cast<std::size_t>(number) - 1];
    if (path.empty())
        return std::nullopt;
    return RecordingRef {static_cast<std::int16_t>(number), BaseName(path), path};
}

std::optional<RecordingRef> Main::SelectedRecording() const
{
    return RecordingAt(m_lv1->currentIndex());
}

void Main::MarkLoadedRow()
{
    // Only a recording of this incident's table is marked.
    const auto& loaded = m_load->sequence().LoadedRecording();
    const bool ours = loaded && loaded->number >= 1
        && static_cast<std::size_t>(loaded->number) <= m_session.MP3Paths.size()
        && m_session.MP3Paths[static_cast<std::size_t>(loaded->number) - 1] == loaded->path;
    m_rows->SetLoadedNumber(ours ? loaded->number : 0);
}

void Main::LV1ColumnClick(int column)
{
    const auto sorted = SortListView(m_sorted, column + 1, 0, 0);
    if (!sorted)
        ShowMessage(sorted.error());
}

void Main::LV1RowClick(const QModelIndex& index)
{
    const auto recording = RecordingAt(index);
    if (!recording)
        return;
    m_session.DetailsFile = recording->fileName;
    KillInfo();
}

void Main::TogglePlayPause()
{
    QToolButton* button = m_player->Status() == PlayerStatus::Playing ? m_panel->PauseButton() : m_panel->PlayButton();
    button->click(); // a disabled button does nothing, as when clicked
}

void Main::LV1MouseUp(Qt::MouseButton button, QPoint releasePoint)
{
    const auto recording = SelectedRecording();
    if (!recording || recording->fileName.empty())
        return;
    if (button == Qt::RightButton) {
        m_session.DetailsFile = recording->fileName; // the selected recording's file name, as bytes
        ShowDetails(releasePoint);
        return;
    }
    m_load->ListClick();
    MarkLoadedRow();
}

void Main::LV1DoubleClick()
{
    m_load->ListDoubleClick();
    MarkLoadedRow();
}

void Main::ShowDetails(QPoint releasePoint)
{
    KillInfo();
    const auto recording = SelectedRecording();
    if (!recording)
        return;
    const RecordingDetails details = ReadRecordingDetails(m_tagReader, recording->path);
    m_info = new InfoS(details, this);
    SetTopMost(m_info);
    // Left edge at the window's outer left + x + 500 twips, top at its outer
    // top + y + 1000 twips, x and y being the release point on the list.
    const QPoint onList = m_lv1->viewport()->mapTo(m_lv1, releasePoint);
    const QRect outer = frameGeometry();
    m_info->move(TwipsToPixels(PixelsToTwips(outer.left() + onList.x()) + 500),
        TwipsToPixels(PixelsToTwips(outer.top() + onList.y()) + 1000));
    connect(m_info, &InfoS::grown, this, [this] { activateWindow(); });
    m_info->show();
}

bool Main::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_lv1 && event->type() == QEvent::KeyPress) {
        // Enter decodes and plays the current row as a double click does;
        // the arrows only move (the list handles them).
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            LV1DoubleClick();
            return true;
        }
    }
    if (watched == m_pb1 && (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
        PlaceControls();
    if (watched == m_lv1->viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            KillInfo();
            break;
        case QEvent::MouseButtonRelease: {
            auto* me = static_cast<QMouseEvent*>(event);
            // Let the list select the row under the pointer first.
            const QModelIndex under = m_lv1->indexAt(me->position().toPoint());
            if (under.isValid() && me->button() == Qt::RightButton)
                m_lv1->setCurrentIndex(under);
            const Qt::MouseButton button = me->button();
            const QPoint point = me->position().toPoint();
            QMetaObject::invokeMethod(
                this, [this, button, point] { LV1MouseUp(button, point); }, Qt::QueuedConnection);
            break;
        }
        case QEvent::MouseButtonDblClick:
            QMetaObject::invokeMethod(
                this, [this] { LV1DoubleClick(); }, Qt::QueuedConnection);
            break;
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Main::ShowAbout(bool splashShown)
{
    if (m_about)
        m_about->close();
    m_about = new About(splashShown, this);
    m_about->setAttribute(Qt::WA_DeleteOnClose);
    if (!splashShown) {
        m_splashShown = true;
        m_about->setWindowModality(Qt::ApplicationModal);
    }
    m_about->show();
}

void Main::mnuAbout()
{
    KillInfo();
    ShowAbout(m_splashShown);
}

void Main::CloseAllWindows()
{
    if (m_about)
        m_about->close();
    if (m_logViewer)
        m_logViewer->close();
    if (m_stats)
        m_stats->close();
    m_sheets->Close();
    if (m_records)
        m_records->close();
    if (m_attach)
        m_attach->close();
    if (m_textConv)
        m_textConv->close();
    KillInfo();
}

void Main::KillInfo()
{
    if (m_info)
        m_info->close();
}

bool Main::SetTopMost(QWidget* window)
{
    if (!window)
        return false;
    window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    return true;
}

// The sibling program is evidence like any other file: it is never run by
// us (with our rights, in the evidence folder), only handed to the desktop
// once the operator has agreed, and never while we run as root.
void Main::mnuSB()
{
    const std::string base = m_session.paths.Evidence.Join("Vistrel/Vistrel");
    std::string program;
    for (const std::string& candidate : {base + ".exe", base})
        if (struct stat st {}; ::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            program = candidate;
    if (program.empty())
        return;
    for (const char* name : {"Vistrel.exe", "Vistrel"}) {
        const auto running = ProcessRunning(name);
        if (!running) {
            ShowMessage(ProcessRunningFailedMessage(running.error()));
            return;
        }
        if (running.value())
            return; // already running: no second copy
    }
    if (RunningAsRoot ? RunningAsRoot() : ::geteuid() == 0) {
        ShowMessage(EvidenceProgramRefusedAsRoot(program));
        return;
    }
    if (m_prompter.Ask(EvidenceProgramQuestion(program)))
        OpenWithDesktop(program);
}

void Main::mnuIU()
{
    if (Utf8Length(m_session.CaseNumber) > 1)
        OpenWithDesktop(m_session.paths.Evidence.Join("IntelUpload"));
}

bool Main::OpenWithDesktop(const std::string& path)
{
    return m_desktop->Open(path, DesktopRefusal);
}

void Main::mnuVML()
{
    KillInfo();
    if (m_logViewer) {
        m_logViewer->raise();
        return;
    }
    const Paths& p = m_session.paths;
    LogViewerInput input {{p.MainLog, p.NocLog, p.AdminLog, p.NppReport}, m_session.CaseNumber, p.Evidence};
    m_logViewer = new DocViewer(std::move(input), m_prompter, this);
    m_logViewer->setWindowFlag(Qt::Window, true);
    connect(m_logViewer, &DocViewer::notationActivated, this, &Main::PlayNotation);
    connect(m_logViewer, &DocViewer::printRequested, this,
        [this](const QString& path) { PrintLOG(QFile::encodeName(path).toStdString()); });
    m_logViewer->show();
}

void Main::mnuSTATS()
{
    KillInfo();
    if (m_stats) {
        m_stats->raise();
        return;
    }
    m_stats = new StatsWindow(m_session, m_prompter, this);
    m_stats->ChoosePrinter = ChoosePrinter;
    m_stats->show();
}

RecordViewer* Main::recordViewer() const
{
    return m_records.data();
}

RCEV* Main::recordSheet() const
{
    return m_sheets->sheet();
}

StatsWindow* Main::statsWindow() const
{
    return m_stats.data();
}

bool Main::LogViewerOpen() const
{
    return m_logViewer && m_logViewer->LogViewerOpen();
}

void Main::mnuAttach()
{
    if (m_attach) {
        m_attach->raise();
        return;
    }
    m_attach = new AttachFORM(m_session, m_prompter, this);
    m_attach->show();
}

void Main::mnuTXT()
{
    if (m_textConv) {
        m_textConv->raise();
        return;
    }
    m_textConv = new TextConvViewer(m_session, m_prompter, this);
    m_textConv->ChoosePrinter = ChoosePrinter;
    m_textConv->show();
}

AttachFORM* Main::attachWindow() const
{
    return m_attach.data();
}

TextConvViewer* Main::textConvViewer() const
{
    return m_textConv.data();
}

DocViewer* Main::logViewer() const
{
    return m_logViewer.data();
}

void Main::PrintLOG(const std::string& path)
{
    CloseAllWindows();
    const auto doc = LoadRichTextFile(path);
    if (!doc)
        return;
    QPrinter printer(QPrinter::HighResolution);
    const bool chosen = ChoosePrinterWith(ChoosePrinter, printer, this);
    if (!chosen)
        return;
    const auto text = BuildTextDocument(*doc);
    PrintRichText(*text, printer, kLogMargins);
}

void Main::PlayNotation(const QString& recording, int noteAudioStart)
{
    const std::string name = recording.toStdString();
    LoadSequence& seq = m_load->sequence();
    seq.NoteAudioStart = noteAudioStart;
    if (!seq.LoadedMP3.empty() && name == seq.LoadedMP3) {
        seq.StartAtNoteOffset();
        return;
    }
    // The row that shows the recording is selected and the recording decoded.
    const std::int16_t number = ListedRecordingNumber(m_session.ListRows, name);
    const QModelIndex index = m_sorted->mapFromSource(m_rows->index(number - 1, 0));
    const auto ref = RecordingAt(index);
    if (number == 0 || !ref)
        return;
    m_lv1->setCurrentIndex(index);
    seq.ListDoubleClick(ref);
    MarkLoadedRow();
}

void Main::mnuVREC()
{
    KillInfo();
    if (!m_session.listing.FileInList(m_session.CaseNumber + "_Records.rmq")) {
        ShowMessage({"Not Found", "Unable to locate a Record File for this incident.     ", MessageIcon::Information});
        return;
    }
    if (m_records) {
        m_records->raise();
        return;
    }
    RecordSource source {m_session.RecHandler, m_session.Records, m_session.roles, PicPath(m_session.paths),
        TodayText(m_session.Formats)};
    m_records = new RecordViewer(std::move(source), m_prompter, *m_sheets, this);
    m_records->ChoosePrinter = ChoosePrinter;
    m_records->show();
}

void Main::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void Main::Form_Resize()
{
    KillInfo();
    PlaceControls();
    m_panel->restartReGraph();
}

void Main::PlaceControls()
{
    const QWidget* client = centralWidget();
    const ClientLayout l
        = LayoutInClient(PixelsToTwips(client->height()), PixelsToTwips(client->width()), m_pb1->isVisibleTo(this));
    const auto place = [](QWidget* w, const Box& b) {
        // Edges are rounded, not sizes, so parts that share an edge in twips share it in pixels.
        const int x = TwipsToPixels(b.x);
        const int y = TwipsToPixels(b.y);
        w->setGeometry(x, y, std::max(0, TwipsToPixels(b.right()) - x), std::max(0, TwipsToPixels(b.bottom()) - y));
    };
    place(m_lv1, l.list);
    place(m_panel, l.frame);
    place(m_pb1, l.progress);
}

void Main::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

void Main::Form_Unload()
{
    m_getDirsTim.stop();
    if (m_about)
        m_about->close();
    KillInfo();
}

} // namespace pellam
