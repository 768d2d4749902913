// The main window: its menu, start-up and shared procedures, and opening the
// sample incident: the list fills, the menus follow the folder, the list
// sorts, keys work the list, and a recording decodes and plays.
#include "app/Main.h"
#include "attachments/ui/About.h"
#include "attachments/ui/InfoS.h"
#include "audio/ui/LoadSequenceDriver.h"
#include "audio/ui/PlaybackPanel.h"
#include "base/Twips.h"
#include "checksums/CrcText.h"
#include "support/RecordingPrompter.h"
#include "support/VirtualWaveBackend.h"
#include "workspace/ui/RecordingListView.h"
#include "workspace/ui/RecordingTableModel.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProcess>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <cstring>

using namespace pellam;

namespace {

const QString kSample = PELLAM_BINARY_DIR "/sample/4711";

// Steps the recording pass as its 20 ms timer would, without waiting for the timer.
bool FinishOpening(Main& w)
{
    w.GetDirsTIM().stop();
    QElapsedTimer clock;
    clock.start();
    while (w.Loading() && clock.elapsed() < 30000) {
        w.GetDirsTIMTick();
        QTest::qWait(1); // lets the background probe deliver
    }
    return !w.Loading();
}

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

QStringList Column(const Main& w, int c)
{
    QStringList texts;
    for (int i = 0; i < Rows(w); ++i)
        texts << Cell(w, i, c);
    return texts;
}

void SelectRow(const Main& w, int row)
{
    List(w)->setCurrentIndex(List(w)->model()->index(row, 0));
}

void SaveScreenshot(QWidget& w, const char* name)
{
    const QByteArray dir = qgetenv("PELLAM_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        w.grab().save(QString::fromUtf8(dir) + "/" + name + ".png");
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_home.reset(new QTemporaryDir);
        qputenv("HOME", m_home->path().toUtf8());
        m_prompter = std::make_unique<test::RecordingPrompter>();
        w = std::make_unique<Main>(*m_prompter, std::make_unique<VirtualWaveBackend>());
    }

    void cleanup()
    {
        w.reset();
        m_prompter.reset();
    }

    // The menu as designed, then start-up without the splash, then About from the menu.
    void menuStartUpWithoutSplashAndAbout()
    {
        const QList<QMenu*> top = w->menuBar()->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly);
        QCOMPARE(top.size(), 1);
        QCOMPARE(top.first()->title(), QString("Menu"));
        QStringList captions;
        for (QAction* a : top.first()->actions())
            captions << (a->isSeparator() ? QString("-") : a->text());
        QCOMPARE(captions, (QStringList {"Open Incident", "-", "View", "Print", "About", "-", "Exit"}));
        QVERIFY(w->action(MenuEntry::OpenIncident)->isEnabled());
        QVERIFY(!w->action(MenuEntry::LogFileViewer)->isEnabled());
        QVERIFY(!w->action(MenuEntry::Statistics)->isEnabled());
        QVERIFY(w->action(MenuEntry::Print)->isEnabled());
        QVERIFY(!w->action(MenuEntry::PrintMainLog)->isEnabled());
        QCOMPARE(List(*w)->model()->headerData(2, Qt::Horizontal).toString(), QString("Date / Time  MP3 Created"));
        QCOMPARE(List(*w)->columnWidth(0), 269); // 4040 twips

        w->Form_Load(false);
        QCOMPARE(w->windowTitle(), QString(" Norvik Technologies   Pellam v7.54"));
        QCOMPARE(w->NPLabel()->text(), QString("Norvik Technologies"));
        QCOMPARE(QString::fromStdString(w->session().paths.Temp), m_home->path() + "/.local/share/NorvikTECH-Pellam/");
        QVERIFY(m_prompter->messages.empty());

        w->mnuAbout();
        About* about = w->aboutWindow();
        QVERIFY(about);
        QVERIFY(!about->PB1()->isVisibleTo(about)); // no bar and no timer
        QVERIFY(!about->Timer1().isActive());
        QTest::mouseClick(about, Qt::LeftButton);
        QTRY_VERIFY(!w->aboutWindow());
    }

    void splashStepsItsBarAndHandsOverAfterSevenTicks()
    {
        w->Form_Load(true);
        About* about = w->aboutWindow();
        QVERIFY(about);
        QVERIFY(about->PB1()->isVisibleTo(about));
        QCOMPARE(about->Label1()->text(), QString("v7.54 - 2025"));
        about->Timer1().stop(); // the test steps the timer itself
        QSignalSpy done(about, &About::splashFinished);
        QSignalSpy ready(w.get(), &Main::ready);
        for (int i = 1; i <= 6; ++i) {
            about->Timer1Tick();
            QCOMPARE(about->PB1()->value(), i + 1);
        }
        QCOMPARE(done.count(), 0);
        about->Timer1Tick();
        QCOMPARE(done.count(), 1);
        QVERIFY(w->AboutTIM().isActive());
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!w->session().paths.Temp.empty());
        QCOMPARE(ready.count(), 0); // the window waits for the second half of start-up
        w->AboutTIM().stop();
        w->ContinueLoad();
        QCOMPARE(w->windowTitle(), QString(" Norvik Technologies   Pellam v7.54"));
        QCOMPARE(ready.count(), 1);
    }

    // Clicked away early, the splash still hands over the pointer and the
    // working folder; only the title timer is left to a splash that did its time.
    void splashClickedAwayStillEstablishesTheWorkingFolder()
    {
        w->Form_Load(true);
        QPointer<About> about = w->aboutWindow();
        about->Timer1().stop();
        QSignalSpy ready(w.get(), &Main::ready);
        QVERIFY(QApplication::overrideCursor());
        QTest::mouseClick(about, Qt::LeftButton);
        QTRY_VERIFY(about.isNull());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(QString::fromStdString(w->session().paths.Temp), m_home->path() + "/.local/share/NorvikTECH-Pellam/");
        QVERIFY(!w->AboutTIM().isActive());
        QCOMPARE(ready.count(), 1); // the window is shown all the same
    }

    // Panel and progress bar are placed from the outer height inside the
    // client area, below the list and one above the other; the path and
    // diagnostic labels show in the menu bar's free part, beside "Menu".
    void layoutKeepsListPanelBarAndLabelsApart()
    {
        w->Form_Load(false);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const int outerTwips = PixelsToTwips(w->frameGeometry().height());
        QCOMPARE(w->Frame1()->y(), TwipsToPixels(outerTwips - 2700));
        QVERIFY(List(*w)->geometry().bottom() < w->Frame1()->geometry().top());
        QVERIFY(w->Frame1()->geometry().bottom() < w->PB1()->geometry().top());
        QVERIFY(w->PB1()->geometry().bottom() < w->centralWidget()->height());

        auto* label2 = w->findChild<QLabel*>("Label2");
        auto* label5 = w->findChild<QLabel*>("Label5");
        QCOMPARE(label2->text(), QCoreApplication::applicationDirPath());
        const QRect menuEntry = w->menuBar()->actionGeometry(w->menuBar()->actions().first());
        for (QLabel* label : {label2, label5}) {
            QVERIFY(label->isVisible());
            const QRect onBar(label->mapTo(w->menuBar(), QPoint(0, 0)), label->size());
            QVERIFY(w->menuBar()->rect().contains(onBar));
            QVERIFY(!onBar.intersects(menuEntry));
        }
    }

    void workingFolderFailureEndsTheProgramWithTheMessage()
    {
        QFile blocker(m_home->path() + "/.local/share/NorvikTECH-Pellam");
        QDir().mkpath(m_home->path() + "/.local/share");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        w->show();
        w->Form_Load(false);
        QCOMPARE(m_prompter->messages.size(), size_t(1));
        QCOMPARE(QString::fromStdString(m_prompter->messages[0].title), QString("Error"));
        QCOMPARE(QString::fromStdString(m_prompter->messages[0].text),
            QString("Failed to establish a Temporary Folder on this PC. \r\n"
                    "Perhaps the security levels are too high on this PC."));
        QVERIFY(!w->isVisible());
    }

    // The record viewer needs a records file; the upload page a case number of two characters.
    void menuCommandsThatNeedTheIncident()
    {
        w->mnuVREC();
        QCOMPARE(m_prompter->messages.size(), size_t(1));
        QCOMPARE(QString::fromStdString(m_prompter->messages[0].text),
            QString("Unable to locate a Record File for this incident.     "));
        QCOMPARE(m_prompter->messages[0].icon, MessageIcon::Information);

        QSignalSpy opened(w.get(), &Main::openUrlRequested);
        w->session().CaseNumber = "7";
        w->mnuIU();
        QCOMPARE(opened.count(), 0);
        w->session().CaseNumber = "77";
        w->mnuIU();
        QCOMPARE(opened.count(), 1);
    }

    // The sibling program starts from its folder, and never as a second copy.
    void vistrelStartsOnceWhileNotRunning()
    {
        QTemporaryDir evidence;
        QVERIFY(QDir(evidence.path()).mkpath("Vistrel"));
        const QString exe = evidence.path() + "/Vistrel/Vistrel";
        QVERIFY(QFile::copy("/bin/sleep", exe));
        w->session().paths.Evidence = evidence.path().toStdString();
        QSignalSpy started(w.get(), &Main::startProgramRequested);
        w->mnuSB();
        QCOMPARE(started.count(), 1);
        QCOMPARE(started.at(0).at(0).toString(), exe);
        QCOMPARE(started.at(0).at(1).toString(), evidence.path() + "/Vistrel/");

        QProcess running;
        running.start(exe, {"30"});
        QVERIFY(running.waitForStarted());
        w->mnuSB();
        QCOMPARE(started.count(), 1);
        running.kill();
        running.waitForFinished();
    }

    // Opened by its path relative to the current folder (as the README's
    // example names it), the incident's recordings are still read as files:
    // every CRC is the file's.
    void openingFillsTheListTitleAndMenus()
    {
        w->Form_Load(false);
        w->show();
        QCOMPARE(List(*w)->EmptyHint(), QString("Open an incident: Menu \u2192 Open Incident (Ctrl+O)"));
        const QString here = QDir::currentPath();
        QVERIFY(QDir::setCurrent(PELLAM_BINARY_DIR));
        w->ChooseEventFile = [] { return QString("sample/4711/4711.evt"); };
        w->mnuOpen();
        QDir::setCurrent(here);
        QVERIFY(FinishOpening(*w));
        QVERIFY(m_prompter->messages.empty());
        QCOMPARE(QString::fromStdString(w->session().paths.Evidence), kSample);
        QCOMPARE(w->findChild<QLabel*>("Label5")->text(), "PicPath = " + kSample + "/Photo/");
        QCOMPARE(List(*w)->EmptyHint(), QString());
        QCOMPARE(w->windowTitle(), QString(" Norvik Technologies   Pellam v7.54 - Reviewing Case Number 4711"));
        QCOMPARE(Rows(*w), 5);
        clsCRC crc;
        crc.SetAlgorithm(1);
        for (int row = 0; row < Rows(*w); ++row)
            QCOMPARE(Cell(*w, row, 3),
                QString::fromStdString(FileCRCText(crc, (kSample + "/" + Cell(*w, row, 0)).toStdString())));
        QVERIFY(Cell(*w, 0, 1).endsWith(" KB"));
        QCOMPARE(Cell(*w, 0, 4), QString("00:09"));
        QVERIFY(!w->action(MenuEntry::OpenIncident)->isEnabled());
        QVERIFY(w->action(MenuEntry::LogFileViewer)->isEnabled());
        QVERIFY(w->action(MenuEntry::Attachments)->isEnabled());
        QVERIFY(w->action(MenuEntry::IntelUploadFiles)->isVisible());
        QVERIFY(!w->action(MenuEntry::Vistrel)->isVisible());
        QCOMPARE(w->PB1()->value(), 0);
        SaveScreenshot(*w, "main-opened");
    }

    void refusedOpenShowsTheBoxAndKeepsOpenIncident()
    {
        w->Form_Load(false);
        w->OpenEventFile(kSample + "/4711.EVT");
        QCOMPARE(m_prompter->messages.size(), size_t(1));
        QCOMPARE(QString::fromStdString(m_prompter->messages[0].title), QString("Load Error"));
        QVERIFY(w->action(MenuEntry::OpenIncident)->isEnabled());

        w->ChooseEventFile = [] { return QString(); }; // the dialog was cancelled
        w->mnuOpen();
        QCOMPARE(m_prompter->messages.size(), size_t(1));
        QVERIFY(w->action(MenuEntry::OpenIncident)->isEnabled());
    }

    // A header clicked while FinishLoadUp still adds rows: later rows take
    // their place in that order. The pass's hourglass and the load
    // sequence's are counted apart: the end of the pass leaves the other.
    void headerClicksSortAscendingAlsoForRowsArrivingLater()
    {
        w->Form_Load(false);
        w->OpenEventFile(kSample + "/4711.evt");
        w->GetDirsTIM().stop();
        QElapsedTimer clock;
        clock.start();
        while (Rows(*w) < 2 && w->Loading() && clock.elapsed() < 30000) {
            w->GetDirsTIMTick();
            QTest::qWait(1);
        }
        QCOMPARE(Rows(*w), 2);
        QVERIFY(QApplication::overrideCursor());
        w->panel().SetPointer(MousePointer::Busy);
        w->LV1ColumnClick(3); // by CRC: not the listing's order
        QVERIFY(FinishOpening(*w));
        QVERIFY(QApplication::overrideCursor()); // the load's hourglass is still up
        w->panel().SetPointer(MousePointer::Normal);
        QVERIFY(!QApplication::overrideCursor());

        QStringList crcs = Column(*w, 3);
        const QStringList names = Column(*w, 0);
        for (auto& c : crcs)
            c = c.toLower();
        QCOMPARE(crcs.size(), 5);
        QVERIFY(std::is_sorted(crcs.begin(), crcs.end()));
        // Rows still belong to their recordings: the CRC of a name is unchanged by sorting.
        for (const auto& rec : w->session().MP3Table) {
            const auto i = names.indexOf(QString::fromStdString(rec.FileName));
            QVERIFY(i >= 0);
            QCOMPARE(crcs[i], QString::fromStdString(rec.CRC).toLower());
        }
    }

    // Ctrl+O opens; on a sorted list a right click shows the details of the
    // row's own recording; the arrows move without decoding; Enter has the
    // real decoder turn the row's recording into the temporary WAV file and
    // the load sequence plays it, its row in bold; Space pauses and resumes.
    void keysAndClicksWorkTheSortedList()
    {
        w->Form_Load(false);
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        int asked = 0;
        w->ChooseEventFile = [&asked] {
            ++asked;
            return kSample + "/4711.evt";
        };
        QTest::keyClick(w.get(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(asked, 1);
        QVERIFY(FinishOpening(*w));
        w->LV1ColumnClick(3); // by CRC: rows no longer in recording order

        SelectRow(*w, 1);
        w->LV1MouseUp(Qt::RightButton, QPoint(40, 30));
        QVERIFY(w->InfoSUp());
        // At the window's outer corner + the point on the list + 500 and 1000 twips.
        const QPoint onList = List(*w)->viewport()->mapTo(List(*w), QPoint(40, 30));
        QCOMPARE(w->infoWindow()->pos(), w->frameGeometry().topLeft() + onList + QPoint(33, 67));
        QCOMPARE(w->infoWindow()->label(1)->text(), Cell(*w, 1, 0));
        QCOMPARE(QString::fromStdString(w->session().DetailsFile), Cell(*w, 1, 0));
        QVERIFY(!w->infoWindow()->label(2)->text().isEmpty()); // the sample's recordings name an artist
        // The sample's tags name their genre as text, not as a number: no genre name.
        QCOMPARE(w->infoWindow()->label(4)->text(), QString());
        w->KillInfo();
        QTRY_VERIFY(!w->InfoSUp());

        RecordingListView* list = List(*w);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        list->setFocus();
        SelectRow(*w, 0);
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(list->currentIndex().row(), 1);
        QTest::keyClick(list, Qt::Key_Up);
        QCOMPARE(list->currentIndex().row(), 0);
        QVERIFY(w->NPLabel()->text().isEmpty()); // nothing decoded
        QVERIFY(w->loader().sequence().LoadedMP3.empty());

        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(w->NPLabel()->text(), QString("Converting MP3 to WAV"));
        const QString name = Cell(*w, 0, 0);
        QTRY_COMPARE_WITH_TIMEOUT(w->NPLabel()->text(), "Playing " + name, 20000);
        QCOMPARE(w->player().Status(), PlayerStatus::Playing);
        QVERIFY(w->player().Duration() > 8000 && w->player().Duration() < 20000);
        QVERIFY(list->model()->index(0, 2).data(Qt::FontRole).value<QFont>().bold());
        QVERIFY(!list->model()->index(1, 0).data(Qt::FontRole).value<QFont>().bold());
        SaveScreenshot(*w, "main-playing");

        QTest::keyClick(list, Qt::Key_Space);
        QCOMPARE(w->player().Status(), PlayerStatus::Paused);
        QCOMPARE(list->currentIndex().row(), 0);
        w->panel().StopButton()->setFocus();
        QTest::keyClick(w->panel().StopButton(), Qt::Key_Space);
        QCOMPARE(w->player().Status(), PlayerStatus::Playing);
    }

private:
    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<test::RecordingPrompter> m_prompter;
    std::unique_ptr<Main> w; // the window under test
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
