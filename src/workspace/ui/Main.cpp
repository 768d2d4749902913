#include "workspace/ui/Main.h"

#include "attachments/ui/About.h"
#include "workspace/MainLayout.h"
#include "workspace/ServKILL.h"
#include "workspace/Twips.h"
#include "workspace/WorkFolder.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QTreeWidget>

namespace pellam {
namespace {

void SetLabelColour(QLabel* label, const QColor& fg, const QColor& bg = Qt::black)
{
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, fg);
    pal.setColor(QPalette::Window, bg);
    label->setAutoFillBackground(true);
    label->setPalette(pal);
}

} // namespace

Main::Main(Prompter& prompter, QWidget* parent) : QMainWindow(parent), m_prompter(prompter)
{
    setObjectName("Main");
    setWindowTitle("Norvik Technologies: Pellam");
    BuildMenu();
    BuildControls();
    m_aboutTim.setInterval(200);
    m_aboutTim.setSingleShot(false);
    connect(&m_aboutTim, &QTimer::timeout, this, [this] {
        m_aboutTim.stop();
        ContinueLoad();
    });
    ApplyMenus();
}

Main::~Main() = default;

About* Main::aboutWindow() const { return m_about.data(); }

void Main::BuildMenu()
{
    m_menu = menuBar()->addMenu("Menu");
    m_menu->setObjectName("mnuV");
    // Opening the menu closes the recording-details window.
    connect(m_menu, &QMenu::aboutToShow, this, &Main::KillInfo);

    auto add = [this](QMenu* menu, MenuEntry e, const char* name) {
        QAction* a = menu->addAction(MenuState::Caption(e));
        a->setObjectName(name);
        m_actions[e] = a;
        return a;
    };
    add(m_menu, MenuEntry::OpenIncident, "mnuOpen");
    m_menu->addSeparator();
    QMenu* view = m_menu->addMenu("View");
    view->setObjectName("mnu7100");
    connect(add(view, MenuEntry::LogFileViewer, "mnuVML"), &QAction::triggered, this, &Main::KillInfo);
    add(view, MenuEntry::TextConversations, "mnuTXT");
    connect(add(view, MenuEntry::RecordViewer, "mnuVREC"), &QAction::triggered, this, &Main::mnuVREC);
    connect(add(view, MenuEntry::Vistrel, "mnuSB"), &QAction::triggered, this, &Main::mnuSB);
    add(view, MenuEntry::Attachments, "mnuAttach");
    connect(add(view, MenuEntry::IntelUploadFiles, "mnuIU"), &QAction::triggered, this, &Main::mnuIU);
    view->addSeparator();
    connect(add(view, MenuEntry::Statistics, "mnuSTATS"), &QAction::triggered, this, &Main::KillInfo);

    QMenu* print = m_menu->addMenu("Print");
    print->setObjectName("mnuhPrnt");
    m_actions[MenuEntry::Print] = print->menuAction();
    add(print, MenuEntry::PrintMainLog, "mnuPML");
    add(print, MenuEntry::PrintNolLog, "mnuPNL");
    add(print, MenuEntry::PrintAdminLog, "mnuPAL");
    add(print, MenuEntry::PrintNppReport, "mnuPNPP");

    connect(add(m_menu, MenuEntry::About, "mnuAbout"), &QAction::triggered, this, &Main::mnuAbout);
    m_menu->addSeparator();
    connect(add(m_menu, MenuEntry::Exit, "mnuEXIT"), &QAction::triggered, this, &Main::close);
}

void Main::BuildControls()
{
    auto* central = new QWidget(this);
    setCentralWidget(central);

    m_lv1 = new QTreeWidget(central);
    m_lv1->setObjectName("LV1");
    m_lv1->setRootIsDecorated(false);
    m_lv1->setUniformRowHeights(true);
    m_lv1->setHeaderLabels({"MP3 File Name", "Size", "Date / Time  MP3 Created", "32 bit CRC Value", "Duration"});
    const int widths[] = {4040, 1200, 2600, 1800, 2540};
    for (int i = 0; i < 5; ++i)
        m_lv1->setColumnWidth(i, TwipsToPixels(widths[i]));

    m_pb1 = new QProgressBar(central);
    m_pb1->setObjectName("PB1");
    m_pb1->setTextVisible(false);
    m_pb1->setValue(0);

    m_frame1 = new QWidget(central);
    m_frame1->setObjectName("Frame1");
    m_npLabel = new QLabel(m_frame1);
    m_npLabel->setObjectName("NPLabel");
    m_npLabel->setGeometry(8, 8, 600, 20);

    m_label2 = new QLabel(central);
    m_label2->setObjectName("Label2");
    m_label2->hide();
    m_label5 = new QLabel(central);
    m_label5->setObjectName("Label5");
    m_label5->hide();
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
    SetLabelColour(m_npLabel, QColor(0, 255, 255));
    m_npLabel->setText("Norvik Technologies");
    resize(TwipsToPixels(kMainWidthTwips), TwipsToPixels(kMainHeightTwips));
    m_splashShown = false;
    m_session.menus.SetEnabled(MenuEntry::Attachments, false);
    m_session.CRC.SetAlgorithm(1);
    ApplyMenus();

    auto establishWorkFolder = [this] {
        if (!MakeTempFolder(m_session.paths.Temp)) {
            ShowMessage({"Error",
                         std::string("Failed to establish a Temporary Folder on this PC. ") + kLineBreak +
                             "Perhaps the security levels are too high on this PC.",
                         MessageIcon::Exclamation});
            close();
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
    // The splash is modal; start-up goes on when it has done its time.
    connect(m_about, &About::splashFinished, this, [this, establishWorkFolder] {
        QApplication::restoreOverrideCursor();
        if (establishWorkFolder())
            m_aboutTim.start();
    });
}

void Main::ContinueLoad()
{
    m_label2->setText(QCoreApplication::applicationDirPath());
    m_session.title = kBaseTitle;
    setWindowTitle(QString::fromStdString(m_session.title));
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
    KillInfo();
}

void Main::KillInfo() {}

bool Main::SetTopMost(QWidget* window)
{
    if (!window)
        return false;
    window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    return true;
}

void Main::mnuSB()
{
    const std::string folder = m_session.listing.folder();
    const std::string exe = JoinPath(folder, "Vistrel/Vistrel");
    std::string program;
    for (const std::string& candidate : {exe + ".exe", exe})
        if (QFileInfo(QString::fromStdString(candidate)).isFile())
            program = candidate;
    if (program.empty())
        return;
    for (const char* name : {"Vistrel.exe", "Vistrel"}) {
        const auto running = ProcessRunning(name);
        if (running.error) {
            ShowMessage(*running.error);
            return;
        }
        if (running.result)
            return; // already running: no second copy
    }
    emit openUrlRequested(QString::fromStdString(program));
}

void Main::mnuIU()
{
    if (m_session.CaseNumber.size() > 1)
        emit openUrlRequested(QString::fromStdString(JoinPath(m_session.listing.folder(), "IntelUpload")));
}

void Main::mnuVREC()
{
    KillInfo();
    if (!m_session.listing.Contains(m_session.CaseNumber + "_Records.rmq")) {
        ShowMessage({"Not Found", "Unable to locate a Record File for this incident.     ", MessageIcon::Information});
        return;
    }
    // The record list window opens here once it exists.
}

void Main::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void Main::Form_Resize()
{
    KillInfo();
    const QRect outer = frameGeometry();
    const MainLayout l = LayoutFor(PixelsToTwips(outer.height()), PixelsToTwips(outer.width()));
    // Positions are relative to the client area below the menu bar.
    const int top = centralWidget()->y();
    const int left = TwipsToPixels(120);
    m_lv1->setGeometry(left, TwipsToPixels(120), std::max(0, TwipsToPixels(l.listWidth)),
                       std::max(0, TwipsToPixels(l.listHeight)));
    m_frame1->setGeometry(left, std::max(0, TwipsToPixels(l.frameTop) - top), std::max(0, TwipsToPixels(l.frameWidth)),
                          TwipsToPixels(1440));
    m_pb1->setGeometry(left, std::max(0, TwipsToPixels(l.progressTop) - top), std::max(0, TwipsToPixels(l.progressWidth)),
                       TwipsToPixels(200));
}

void Main::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

void Main::Form_Unload()
{
    if (m_about)
        m_about->close();
    KillInfo();
}

} // namespace pellam
