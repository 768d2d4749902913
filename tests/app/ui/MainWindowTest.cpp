// The main window: its menu, start-up and shared procedures, and opening the
// sample incident: the list fills, the menus follow the folder, the list
// sorts, keys work the list, a recording decodes and plays, and so does the
// recording of a notation in the log viewer.
#include "app/About.h"
#include "app/CaseReportRun.h"
#include "app/CornerLabel.h"
#include "app/IncidentOpenDriver.h"
#include "app/Main.h"
#include "app/Program.h"
#include "app/RecordingListController.h"
#include "attachments/ui/AttachFORM.h"
#include "attachments/ui/InfoS.h"
#include "audio/ui/LoadSequenceDriver.h"
#include "audio/ui/PlaybackPanel.h"
#include "base/Version.h"
#include "conversations/ui/TextConvViewer.h"
#include "logs/ui/DocViewer.h"
#include "records/ui/RCEV.h"
#include "records/ui/RecordViewer.h"
#include "support/FakeShell.h"
#include "support/FinishOpening.h"
#include "support/PdfOutput.h"
#include "support/RecordingPrompter.h"
#include "support/VirtualWaveBackend.h"
#include "workspace/ui/RecordingListView.h"
#include "workspace/ui/RecordingTableModel.h"

#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPointer>
#include <QProcess>
#include <QProgressBar>
#include <QScopeGuard>
#include <QSettings>
#include <QSignalSpy>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <locale.h>
#include <unistd.h>

using namespace pellam;

namespace {

const QString kSample = PELLAM_BINARY_DIR "/sample/4711";

RecordingListView* List(const Main& w)
{
    return w.findChild<RecordingListView*>("LV1");
}

int Rows(const Main& w)
{
    return List(w)->model()->rowCount();
}

QString Cell(const Main& w, int row, int column, int role = Qt::DisplayRole)
{
    return List(w)->model()->index(row, column).data(role).toString();
}

void SelectRow(const Main& w, int row)
{
    List(w)->setCurrentIndex(List(w)->model()->index(row, 0));
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_home.reset(new QTemporaryDir);
        qputenv("HOME", m_home->path().toUtf8());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_home->path());
        m_prompter = std::make_unique<test::RecordingPrompter>();
        m_shell = std::make_unique<test::FakeShell>();
        w = std::make_unique<Main>(*m_prompter, *m_shell, std::make_unique<VirtualWaveBackend>());
    }

    void cleanup()
    {
        w.reset();
        m_shell.reset();
        m_prompter.reset();
        QLocale::setDefault(QLocale::system());
    }

    void splashStepsItsBarAndHandsOverAfterSevenTicks()
    {
        w->Form_Load(true);
        About* about = w->findChild<About*>();
        QVERIFY(about && about->PB1()->isVisibleTo(about));
        about->findChild<QTimer*>("Timer1")->stop(); // the test steps the timer itself
        QSignalSpy done(about, &About::splashFinished);
        QSignalSpy ready(w.get(), &Main::ready);
        for (int i = 1; i <= 6; ++i)
            about->Timer1Tick();
        QCOMPARE(done.count(), 0);
        about->Timer1Tick();
        auto* aboutTim = w->findChild<QTimer*>("AboutTIM");
        // The window waits for the second half of start-up.
        QCOMPARE(std::pair(done.count(), ready.count()), std::pair(qsizetype(1), qsizetype(0)));
        QVERIFY(aboutTim->isActive() && !QApplication::overrideCursor() && !w->incident().paths.Temp.empty());
        aboutTim->stop();
        w->ContinueLoad();
        QCOMPARE(std::pair(w->windowTitle(), ready.count()),
            std::pair(QString(" Norvik Technologies   Pellam v") + kAppVersion, qsizetype(1)));
    }

    // Clicked away early, the splash still hands over the pointer and the
    // working folder; only the title timer is left to a splash that did its time.
    void splashClickedAwayStillEstablishesTheWorkingFolder()
    {
        w->Form_Load(true);
        QPointer<About> about = w->findChild<About*>();
        about->findChild<QTimer*>("Timer1")->stop();
        QSignalSpy ready(w.get(), &Main::ready);
        QVERIFY(QApplication::overrideCursor());
        QTest::mouseClick(about, Qt::LeftButton);
        QTRY_VERIFY(about.isNull());
        QVERIFY(!QApplication::overrideCursor() && !w->findChild<QTimer*>("AboutTIM")->isActive()
            && !w->incident().paths.Temp.empty());
        QCOMPARE(ready.count(), 1); // the window is shown all the same
    }

    void workingFolderFailureEndsTheProgramWithTheMessage()
    {
        QFile blocker(m_home->path() + "/.local/share/NorvikTECH-Pellam");
        QDir().mkpath(m_home->path() + "/.local/share");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        WireProgram(*w, {"pellam"});
        QTimer::singleShot(10000, [] { QCoreApplication::exit(99); }); // the fault: it would run on
        w->Form_Load(false);
        QCOMPARE(QCoreApplication::exec(), kStartupFailedStatus);
        QCOMPARE(std::pair(m_prompter->messages.size(), m_prompter->messages[0].title),
            std::pair(size_t(1), std::string("Error")));
        QVERIFY(m_prompter->messages[0].text.starts_with("Failed to establish a Temporary Folder on this PC.")
            && !w->isVisible());
    }

    // The record viewer needs a records file; the upload page a case number of two characters.
    void menuCommandsThatNeedTheIncident()
    {
        w->Choose(MenuEntry::RecordViewer);
        QCOMPARE(m_prompter->messages,
            (std::vector<Message> {
                {"Not Found", "Unable to locate a Record File for this incident.     ", MessageIcon::Information}}));

        w->incident().CaseNumber = "7";
        w->Choose(MenuEntry::IntelUploadFiles);
        QTemporaryDir evidence;
        const QString upload = evidence.path() + "/IntelUpload";
        w->incident().paths.Evidence = FolderPath(evidence.path().toStdString());
        w->incident().CaseNumber = "77";
        w->Choose(MenuEntry::IntelUploadFiles);
        QCOMPARE(std::pair(m_shell->opened, m_prompter->messages.size()), std::pair(QStringList {upload}, size_t(1)));

        // The sibling program is evidence: never run by us. As root it is
        // refused; otherwise it goes to the desktop only after a yes.
        const std::string exe = evidence.path().toStdString() + "/Vistrel/Vistrel.exe";
        QVERIFY(QDir(evidence.path()).mkpath("Vistrel") && std::ofstream(exe) << "#!/bin/sh\n");
        std::filesystem::permissions(exe, std::filesystem::perms::owner_exec, std::filesystem::perm_options::add);
        for (const bool root : {true, false, false}) {
            m_shell->root = root;
            m_prompter->answer = m_prompter->questions.size() == 1; // no, then yes
            w->Choose(MenuEntry::Vistrel);
        }
        QCOMPARE(std::pair(m_prompter->messages.size(), m_prompter->questions.size()), std::pair(size_t(2), size_t(2)));
        const std::string& refused = m_prompter->messages[1].text;
        QVERIFY2(refused.find("\r\n" + exe + "\r\n") != std::string::npos
                && refused.find("runs as root") != std::string::npos,
            refused.c_str());
        QCOMPARE(m_prompter->questions[0].text,
            "This is a program taken from the evidence folder:\r\n" + exe
                + "\r\n\r\nIt will be handed to the desktop, which may run it with your rights. Open it?");
        QCOMPARE(m_shell->started, QStringList {QString::fromStdString(exe)});
    }

    // Opened by its path relative to the current folder (as the README's
    // example names it), the incident's recordings are still read as files:
    // no CRC is unknown.
    void openingFillsTheListTitleAndMenus()
    {
        w->Form_Load(false);
        w->show();
        // The designed size is larger than this screen: the window keeps within it.
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QVERIFY(w->screen()->availableGeometry().contains(w->frameGeometry()));
        QVERIFY(!List(*w)->EmptyHint().isEmpty());
        const QString here = QDir::currentPath();
        QVERIFY(QDir::setCurrent(PELLAM_BINARY_DIR));
        m_shell->eventFile = [] { return QString("sample/4711/4711.evt"); };
        w->Choose(MenuEntry::OpenIncident);
        QDir::setCurrent(here);
        QVERIFY(test::FinishOpening(*w) && m_prompter->messages.empty());
        // The corner labels make room for their new texts, eliding only what does not fit.
        auto* picPath = w->findChild<CornerLabel*>("Label5");
        QCOMPARE(picPath->text(), "PicPath = " + kSample + "/Photo/");
        QTRY_VERIFY(picPath->width() >= picPath->fontMetrics().horizontalAdvance(picPath->text()));
        w->resize(w->minimumSize());
        auto* recordPath = w->findChild<CornerLabel*>("Label2");
        QTRY_VERIFY(recordPath->Elided());
        QCOMPARE(recordPath->toolTip(), recordPath->text());
        QCOMPARE(List(*w)->EmptyHint(), QString());
        QVERIFY(w->windowTitle().endsWith(" - Reviewing Case Number 4711"));
        // Another incident opens in another copy of the program; this one keeps its own.
        m_shell->eventFile = [] { return QString("/cases/0815/0815.evt"); };
        w->findChild<QAction*>("mnuOpenAnother")->trigger();
        QCOMPARE(std::pair(m_shell->copies, w->incident().CaseNumber), std::pair(QStringList {"/cases/0815/0815.evt"}, std::string("4711")));
        QCOMPARE(std::pair(Rows(*w), Cell(*w, 0, 4)), std::pair(5, QString("00:09")));
        for (int row = 0; row < Rows(*w); ++row)
            QVERIFY2(Cell(*w, row, 3).size() == 11, qPrintable(Cell(*w, row, 3)));
        QVERIFY(!w->action(MenuEntry::OpenIncident)->isEnabled() && w->action(MenuEntry::LogFileViewer)->isEnabled());
        QVERIFY(!w->action(MenuEntry::Vistrel)->isVisible() && !w->findChild<QProgressBar*>("PB1")->isVisible());
        // Attachments and Text Conversations open once each and close with the other windows.
        w->action(MenuEntry::Attachments)->trigger();
        w->action(MenuEntry::TextConversations)->trigger();
        QPointer<QWidget> attach = w->findChild<AttachFORM*>(), texts = w->findChild<TextConvViewer*>();
        w->Choose(MenuEntry::Attachments);
        QVERIFY(attach && texts && attach == w->findChild<AttachFORM*>());
        // A record sheet stays when its list closes; the next list's sheet replaces it.
        w->Choose(MenuEntry::RecordViewer);
        QPointer<RecordViewer> records = w->findChild<RecordViewer*>();
        records->RowDoubleClicked(0);
        QPointer<RCEV> sheet = w->recordSheet();
        records->close();
        QTRY_VERIFY(!records);
        QVERIFY(sheet && sheet->isVisible());
        w->Choose(MenuEntry::RecordViewer);
        w->findChild<RecordViewer*>()->RowDoubleClicked(1);
        QTRY_VERIFY(!sheet);
        sheet = w->recordSheet();
        records = w->findChild<RecordViewer*>();
        w->CloseAllWindows();
        QTRY_VERIFY(!attach && !texts && !sheet && !records);
        // The next open dialog starts where this incident was (written in the background).
        QTRY_COMPARE_WITH_TIMEOUT(OpenDialogFolder(), kSample, 10000);
    }

    // "File" → "Export Hash Manifest…", once the incident is open: refused
    // into the evidence folder; elsewhere written in the background, the bar
    // showing it, and sha256sum accepts it in the evidence folder.
    void exportsTheHashManifestOutsideTheEvidenceOnly()
    {
        w->Form_Load(false);
        QAction* entry = w->action(MenuEntry::ExportHashManifest);
        QCOMPARE(w->findChild<QMenu*>("mnuFile")->actions().value(0), entry);
        QVERIFY(!entry->isEnabled());
        w->OpenEventFile(kSample + "/4711.evt");
        QVERIFY(test::FinishOpening(*w) && entry->isEnabled());

        m_shell->saveFile = kSample + "/4711.sha256";
        entry->trigger();
        QCOMPARE(m_shell->saveAsked.suggested, QDir::home().filePath("4711-manifest.sha256"));
        QCOMPARE(m_prompter->messages.size(), size_t(1));
        QVERIFY(QString::fromStdString(m_prompter->messages[0].text)
                    .startsWith("The manifest is not written into the evidence folder"));
        QVERIFY(!QFile::exists(m_shell->saveFile) && entry->isEnabled());

        QTemporaryDir out;
        m_shell->saveFile = out.filePath("4711.sha256");
        entry->trigger();
        auto* bar = w->findChild<QProgressBar*>("PB1");
        QVERIFY(!entry->isEnabled() && bar->isVisibleTo(w.get()));
        QTRY_VERIFY(entry->isEnabled());
        QVERIFY(!bar->isVisibleTo(w.get()));
        QCOMPARE(m_prompter->messages.back().icon, MessageIcon::Information);
        QProcess check;
        check.setWorkingDirectory(kSample);
        check.start("sha256sum", {"--strict", "-c", m_shell->saveFile});
        QVERIFY(check.waitForFinished());
        const QByteArray checked = check.readAll();
        QFile manifest(m_shell->saveFile);
        QVERIFY(manifest.open(QIODevice::ReadOnly));
        const qsizetype files = manifest.readAll().count('\n');
        QVERIFY2(check.exitCode() == 0 && files > 5 && checked.count(": OK\n") == files, checked.constData());
    }

    // A cancelled dialog does nothing (a refused open is the open's own test).
    // Named on the command line, the sample opens as from the menu (the status
    // line is cleared first); what is not an event file is named, and a file
    // of another name gets the dialog's "Load Error".
    void refusedAndCommandLineOpens()
    {
        QCOMPARE(OpenDialogFolder(), QDir::homePath());
        w->Choose(MenuEntry::OpenIncident); // the dialog is cancelled
        QVERIFY(m_prompter->messages.empty() && w->action(MenuEntry::OpenIncident)->isEnabled() && m_shell->asked == 1);
        WireProgram(*w, {"pellam", kSample + "/4711.evt"});
        w->Form_Load(false);
        QVERIFY(w->isVisible() && w->panel().NPLabel()->text().isEmpty());
        QVERIFY(test::FinishOpening(*w));
        QCOMPARE(std::pair(Rows(*w), m_prompter->messages.size()), std::pair(5, size_t(0)));

        const std::pair<QString, QString> bad[] = {
            {kSample + "/4712.evt", "does not exist"}, {kSample, "is a folder"}, {"/dev/null", "is not an event file"}};
        for (const auto& [given, says] : bad) {
            w->OpenFromCommandLine(given);
            QCOMPARE(QString::fromStdString(m_prompter->messages.back().title), QString("File Error"));
            const QString text = QString::fromStdString(m_prompter->messages.back().text);
            QVERIFY2(text.contains(given) && text.contains(says), qPrintable(text));
        }
        // A file of another name is refused as the dialog refuses it.
        w->OpenFromCommandLine(kSample + "/4711_MainLOG.doc");
        QCOMPARE(m_prompter->messages.back(), LoadErrorMessage());
    }

    // The window writes sizes and dates in its locale (pellam-cli reads the
    // locale through the same call).
    void sizesAndDatesFollowTheLocale()
    {
        QTemporaryDir evidence;
        QFile::copy(kSample + "/SGfg.dat", evidence.filePath("SGfg.dat"));
        QFile(evidence.filePath("none.evt")).open(QIODevice::WriteOnly); // no incident in it
        QFile big(evidence.filePath("big.mp3"));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(1114112) // 1.062 MB
            && big.setFileTime(QDateTime(QDate(2026, 12, 5), QTime(16, 49, 13)), QFileDevice::FileModificationTime));
        if (const locale_t de = ::newlocale(LC_ALL_MASK, "de_DE.UTF-8", static_cast<locale_t>(nullptr)))
            ::freelocale(de);
        else
            QSKIP("de_DE.UTF-8 is not installed (scripts/setup generates it)");
        // Dates follow LC_TIME and figures LC_NUMERIC, whatever LANG says.
        const QByteArray saved[] = {qgetenv("LC_ALL"), qgetenv("LC_TIME"), qgetenv("LC_NUMERIC"), qgetenv("LANG")};
        const auto restore = qScopeGuard([&] {
            const char* names[] = {"LC_ALL", "LC_TIME", "LC_NUMERIC", "LANG"};
            for (int i = 0; i < 4; ++i)
                saved[i].isNull() ? qunsetenv(names[i]) : qputenv(names[i], saved[i]);
        });
        qunsetenv("LC_ALL");
        qputenv("LC_TIME", "de_DE.UTF-8");
        qputenv("LC_NUMERIC", "de_DE.UTF-8");
        qputenv("LANG", "en_US.UTF-8");
        Main window(*m_prompter, *m_shell, std::make_unique<VirtualWaveBackend>());
        QVERIFY(test::LoadAndOpen(window, evidence.filePath("none.evt")));
        QCOMPARE(Cell(window, 0, 1) + "|" + Cell(window, 0, 2), QString("1,062 MB|05.12.2026 16:49:13"));
    }

    // The list and the log drive the player. Ctrl+O opens. A header clicked
    // while the open still runs: the rows arriving later take their place in
    // that order. The pass's hourglass and the load sequence's are counted
    // apart: the end of the pass leaves the other. On the sorted list a right
    // click shows the details of the row's own recording; the arrows move
    // without decoding; Enter has the real decoder turn the row's recording
    // into the temporary WAV file and the load sequence plays it, its row in
    // bold; Space pauses and resumes.
    void keysClicksAndNotationsWorkTheSortedList()
    {
        w->Form_Load(false);
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        m_shell->eventFile = [] { return kSample + "/4711.evt"; };
        QTest::keyClick(w.get(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(m_shell->asked, 1);
        w->findChild<QTimer*>("GetDirsTIM")->stop();
        QCOMPARE(Rows(*w), 0); // rows come after the durations
        QVERIFY(QApplication::overrideCursor());
        w->panel().SetPointer(MousePointer::Busy);
        w->list().ColumnClick(3); // by CRC: not the listing's order
        QVERIFY(test::FinishOpening(*w));
        QVERIFY(QApplication::overrideCursor()); // the load's hourglass is still up
        w->panel().SetPointer(MousePointer::Normal);
        QVERIFY(!QApplication::overrideCursor());
        QStringList crcs;
        for (int row = 0; row < Rows(*w); ++row)
            crcs << Cell(*w, row, 3).toLower();
        QVERIFY(crcs.size() == 5 && std::is_sorted(crcs.begin(), crcs.end()));

        SelectRow(*w, 1);
        w->list().MouseUp(Qt::RightButton, QPoint(40, 30));
        QVERIFY(w->list().details());
        QCOMPARE(w->list().details()->label(1)->text() + "|" + QString::fromStdString(w->list().DetailsFile()),
            Cell(*w, 1, 0) + "|" + Cell(*w, 1, 0));
        // The open took the recording's SHA-256 in its first CRC reading.
        QFile recording(kSample + "/" + Cell(*w, 1, 0));
        QCryptographicHash sha(QCryptographicHash::Sha256);
        QVERIFY(recording.open(QIODevice::ReadOnly) && sha.addData(&recording));
        QCOMPARE(w->list().details()->sha256()->text(), "SHA-256: " + sha.result().toHex());
        w->list().KillInfo();
        QTRY_VERIFY(!w->list().details());

        RecordingListView* list = List(*w);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        list->setFocus();
        SelectRow(*w, 0);
        QTest::keyClick(list, Qt::Key_Down);
        const int down = list->currentIndex().row();
        QTest::keyClick(list, Qt::Key_Up);
        QCOMPARE(std::pair(down, list->currentIndex().row()), std::pair(1, 0));
        QVERIFY(w->panel().NPLabel()->text().isEmpty() && w->loader().sequence().LoadedMP3.empty()); // nothing decoded

        QTest::keyClick(list, Qt::Key_Return);
        const QString name = Cell(*w, 0, 0);
        QTRY_COMPARE_WITH_TIMEOUT(w->panel().NPLabel()->text(), "Playing " + name, 20000);
        // The row in bold: the model's test has the rest.
        QVERIFY(w->player().Status() == PlayerStatus::Playing
            && list->model()->index(0, 2).data(Qt::FontRole).value<QFont>().bold());

        // On another row the status line still names what plays, and says when it is paused.
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(w->panel().NPLabel()->text(), "Playing " + name);
        QTest::keyClick(list, Qt::Key_Space);
        QCOMPARE(std::tuple(w->player().Status(), w->panel().NPLabel()->text(), list->currentIndex().row()),
            std::tuple(PlayerStatus::Paused, "Paused " + name, 1));
        w->panel().StopButton()->setFocus();
        QTest::keyClick(w->panel().StopButton(), Qt::Key_Space);
        QCOMPARE(w->player().Status(), PlayerStatus::Playing);

        // The transport's keys work in the list and on the panel, and the menu shows them.
        QTest::keyClick(list, Qt::Key_BracketRight);
        QTest::keyClick(w->panel().StopButton(), Qt::Key_BracketRight);
        QCOMPARE(std::pair(w->player().Speed(), w->panel().lblSpeed()->text()), std::pair(1.2, QString("1.2×")));
        QTest::keyClick(list, Qt::Key_Backslash);
        QTest::keyClick(list, Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
        const int start = w->player().Position();
        QTest::keyClick(list, Qt::Key_Right, Qt::ControlModifier);
        QVERIFY2(w->player().Position() - start >= 5000 && w->player().Position() - start < 5500,
            qPrintable(QString::number(w->player().Position() - start)));
        QCOMPARE(std::tuple(w->player().Speed(), w->panel().PlayButton()->toolTip(),
                     w->findChild<QAction*>("actReplay")->shortcut().toString()),
            std::tuple(1.0, QString("Play (Space)"), QString("Ctrl+R")));

        // A double-clicked notation in the log viewer decodes its recording and
        // plays it from ten seconds before the notation; the print entry closes
        // the viewer and prints the log file itself.
        w->findChild<QAction*>("mnuVML")->trigger();
        QVERIFY(w->LogViewerOpen());
        auto* viewer = w->findChild<DocViewer*>();
        viewer->MainLogDoubleClicked(
            static_cast<int>(viewer->logBox(0)->toPlainText().indexOf("Command post approves")));
        QTRY_COMPARE_WITH_TIMEOUT(w->panel().NPLabel()->text(), QString("Playing 4711_Sub01_1441.mp3"), 20000);
        // The notation was made 12 s in: playback starts 2 s in.
        QVERIFY2(w->player().Position() >= 2000 && w->player().Position() < 4000,
            qPrintable(QString::number(w->player().Position())));
        // A text field elsewhere takes the keys as text.
        auto* search = viewer->findChild<QLineEdit*>();
        search->setFocus();
        QTest::keyClick(search, Qt::Key_BracketRight);
        QCOMPARE(std::pair(search->text(), w->player().Speed()), std::pair(QString("]"), 1.0));
        QTemporaryDir out;
        m_shell->printer = test::PdfPrinter(out.filePath("main.pdf"));
        w->findChild<QAction*>("mnuPML")->trigger();
        QTRY_VERIFY(!w->LogViewerOpen());
        QVERIFY(test::PdfText(out.filePath("main.pdf")).contains("Incident Number: 4711 Ended.")
            && m_prompter->messages.empty());
    }

    // Every printout is signed in its footer and its PDF titled after it; the
    // examiner is asked once; the PDF is suggested in the folder the last
    // one went into, and refused in the evidence folder. The case report
    // comes from the File menu, its progress shown while it is built.
    void printoutsAreSignedAndTheCaseReportComesFromTheFileMenu()
    {
        qputenv("PELLAM_TODAY", "2026-12-06");
        const auto unset = qScopeGuard([] { qunsetenv("PELLAM_TODAY"); });
        w->Form_Load(false);
        m_shell->eventFile = [] { return kSample + "/4711.evt"; };
        w->Choose(MenuEntry::OpenIncident);
        QVERIFY(test::FinishOpening(*w));
        m_shell->examiner = "Ilse Varga";
        QTemporaryDir out;
        QStringList suggested;
        const auto printInto = [&](const QString& pdf) {
            m_shell->printer = [&suggested, pdf](QPrinter& printer) {
                suggested << printer.outputFileName();
                return test::PdfPrinter(pdf)(printer);
            };
        };
        printInto(out.filePath("main.pdf"));
        w->Choose(MenuEntry::PrintMainLog);
        printInto(out.filePath("noc.pdf"));
        w->Choose(MenuEntry::PrintNolLog);
        QCOMPARE(m_shell->examinerAsked, 1);
        QCOMPARE(suggested, QStringList({m_home->filePath("4711-Main Log.pdf"), out.filePath("4711-NOC Log.pdf")}));
        const QString text = test::PdfText(out.filePath("main.pdf"));
        const int pages = test::PdfPages(out.filePath("main.pdf"));
        for (int page = 1; page <= pages; ++page)
            QVERIFY(text.contains(QString("page %1 of %2").arg(page).arg(pages)));
        for (const QString& part : {QString("Case 4711 \u00b7 Main Log"), QString("printed 2026-12-06 by"),
                 QString("Ilse Varga"), QString("Pellam ") + kAppVersion})
            QVERIFY2(text.contains(part), qPrintable(part));
        QVERIFY(test::PdfInfo(out.filePath("noc.pdf")).contains(QRegularExpression("Title: +NOC Log of case 4711\n")));

        printInto(kSample + "/main.pdf");
        w->Choose(MenuEntry::PrintMainLog);
        QVERIFY(!QFile::exists(kSample + "/main.pdf"));
        QCOMPARE(m_prompter->messages.size(), size_t(1));
        QCOMPARE(m_prompter->messages[0].title, std::string("Not Written"));

        printInto(out.filePath("report.pdf"));
        QVERIFY(w->findChild<QMenu*>("mnuFile")->actions().contains(w->action(MenuEntry::CaseReport)));
        QCOMPARE(w->action(MenuEntry::CaseReport)->shortcut(), QKeySequence("Ctrl+Shift+R"));
        w->action(MenuEntry::CaseReport)->trigger();
        auto* report = w->findChild<CaseReportRun*>();
        report->findChild<QTimer*>("ReportTIM")->stop(); // the test takes the steps
        QVERIFY(report->Running() && report->progress()->maximum() > 28); // the sample's files and recordings
        QVERIFY(QTest::qWaitFor([&] {
            report->tick();
            return !report->Running();
        }));
        QVERIFY(test::PdfText(out.filePath("report.pdf")).contains("Evidence Inventory"));
        QCOMPARE(suggested.last(), out.filePath("4711-Case Report.pdf"));
    }

private:
    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<test::RecordingPrompter> m_prompter;
    std::unique_ptr<test::FakeShell> m_shell;
    std::unique_ptr<Main> w; // the window under test
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
