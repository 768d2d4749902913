// The main window's menu, start-up and shared procedures.
#include "attachments/ui/About.h"
#include "audio/ui/PlaybackPanel.h"
#include "support/RecordingPrompter.h"
#include "workspace/Twips.h"
#include "workspace/ui/Main.h"
#include "workspace/ui/modLVSort.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPointer>
#include <QProcess>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <cstring>

using namespace pellam;

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_home.reset(new QTemporaryDir);
        qputenv("HOME", m_home->path().toUtf8());
    }

    void menuTreeHasTheDesignedCaptionsAndStates()
    {
        test::RecordingPrompter prompter;
        Main w(prompter);
        const QList<QMenu*> top = w.menuBar()->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly);
        QCOMPARE(top.size(), 1);
        QCOMPARE(top.first()->title(), QString("Menu"));
        QStringList captions;
        for (QAction* a : top.first()->actions())
            captions << (a->isSeparator() ? QString("-") : a->text());
        QCOMPARE(captions, (QStringList{"Open Incident", "-", "View", "Print", "About", "-", "Exit"}));
        QVERIFY(w.action(MenuEntry::OpenIncident)->isEnabled());
        QVERIFY(!w.action(MenuEntry::LogFileViewer)->isEnabled());
        QVERIFY(!w.action(MenuEntry::Statistics)->isEnabled());
        QVERIFY(w.action(MenuEntry::Print)->isEnabled());
        QVERIFY(!w.action(MenuEntry::PrintMainLog)->isEnabled());
        QCOMPARE(w.LV1()->headerItem()->text(2), QString("Date / Time  MP3 Created"));
        QCOMPARE(w.LV1()->columnWidth(0), 269); // 4040 twips
    }

    void startUpWithoutSplashSetsTheTitleAndWorkingFolder()
    {
        test::RecordingPrompter prompter;
        Main w(prompter);
        w.Form_Load(false);
        QCOMPARE(w.windowTitle(), QString(" Norvik Technologies   Pellam v7.54"));
        QCOMPARE(w.NPLabel()->text(), QString("Norvik Technologies"));
        QCOMPARE(QString::fromStdString(w.session().paths.Temp),
                 m_home->path() + "/.local/share/NorvikTECH-Pellam/");
        QVERIFY(prompter.messages.empty());
    }

    void splashStepsItsBarAndHandsOverAfterSevenTicks()
    {
        test::RecordingPrompter prompter;
        Main w(prompter);
        w.Form_Load(true);
        About* about = w.aboutWindow();
        QVERIFY(about);
        QVERIFY(about->PB1()->isVisibleTo(about));
        QCOMPARE(about->Label1()->text(), QString("v7.54 - 2025"));
        about->Timer1().stop(); // the test steps the timer itself
        QSignalSpy done(about, &About::splashFinished);
        QSignalSpy ready(&w, &Main::ready);
        for (int i = 1; i <= 6; ++i) {
            about->Timer1Tick();
            QCOMPARE(about->PB1()->value(), i + 1);
        }
        QCOMPARE(done.count(), 0);
        about->Timer1Tick();
        QCOMPARE(done.count(), 1);
        QVERIFY(w.AboutTIM().isActive());
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!w.session().paths.Temp.empty());
        QCOMPARE(ready.count(), 0); // the window waits for the second half of start-up
        w.AboutTIM().stop();
        w.ContinueLoad();
        QCOMPARE(w.windowTitle(), QString(" Norvik Technologies   Pellam v7.54"));
        QCOMPARE(ready.count(), 1);
    }

    // Clicked away early, the splash still hands over the pointer and the
    // working folder; only the title timer is left to a splash that did its time.
    void splashClickedAwayStillEstablishesTheWorkingFolder()
    {
        test::RecordingPrompter prompter;
        Main w(prompter);
        w.Form_Load(true);
        QPointer<About> about = w.aboutWindow();
        about->Timer1().stop();
        QSignalSpy ready(&w, &Main::ready);
        QVERIFY(QApplication::overrideCursor());
        QTest::mouseClick(about, Qt::LeftButton);
        QTRY_VERIFY(about.isNull());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(QString::fromStdString(w.session().paths.Temp), m_home->path() + "/.local/share/NorvikTECH-Pellam/");
        QVERIFY(!w.AboutTIM().isActive());
        QCOMPARE(ready.count(), 1); // the window is shown all the same
    }

    // Panel and progress bar are placed from the outer height inside the
    // client area, below the list and one above the other.
    void layoutKeepsListPanelAndBarApart()
    {
        test::RecordingPrompter prompter;
        Main w(prompter);
        w.Form_Load(false);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const int outerTwips = PixelsToTwips(w.frameGeometry().height());
        QCOMPARE(w.Frame1()->y(), TwipsToPixels(outerTwips - 2700));
        QVERIFY(w.LV1()->geometry().bottom() < w.Frame1()->geometry().top());
        QVERIFY(w.Frame1()->geometry().bottom() < w.PB1()->geometry().top());
        QVERIFY(w.PB1()->geometry().bottom() < w.centralWidget()->height());
    }

    void sortIsAscendingByTextWithoutRegardToCase()
    {
        QTreeWidget list;
        list.setColumnCount(2);
        for (const char* name : {"b", "A", "a2", "B1"})
            new ListRow(&list, QStringList{name, QString("%1 KB").arg(std::strlen(name) == 1 ? 9 : 10)});
        auto column = [&list](int c) {
            QStringList texts;
            for (int i = 0; i < list.topLevelItemCount(); ++i)
                texts << list.topLevelItem(i)->text(c);
            return texts;
        };
        for (int click = 0; click < 2; ++click) { // a second click does not reverse
            QVERIFY(SortListView(&list, 1, 0, 0).ok);
            QCOMPARE(column(0), (QStringList{"A", "a2", "b", "B1"}));
        }
        QVERIFY(SortListView(&list, 2, 0, 0).ok);
        QCOMPARE(column(1), (QStringList{"10 KB", "10 KB", "9 KB", "9 KB"}));
        const SortResult bad = SortListView(&list, 3, 0, 0);
        QVERIFY(!bad.ok && bad.error);
        QCOMPARE(column(1), (QStringList{"10 KB", "10 KB", "9 KB", "9 KB"}));
    }

    void aboutFromTheMenuHasNoBarAndNoTimer()
    {
        test::RecordingPrompter prompter;
        Main w(prompter);
        w.Form_Load(false);
        w.mnuAbout();
        About* about = w.aboutWindow();
        QVERIFY(about);
        QVERIFY(!about->PB1()->isVisibleTo(about));
        QVERIFY(!about->Timer1().isActive());
        QTest::mouseClick(about, Qt::LeftButton);
        QTRY_VERIFY(!w.aboutWindow());
    }

    void workingFolderFailureEndsTheProgramWithTheMessage()
    {
        QFile blocker(m_home->path() + "/.local/share/NorvikTECH-Pellam");
        QDir().mkpath(m_home->path() + "/.local/share");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        test::RecordingPrompter prompter;
        Main w(prompter);
        w.show();
        w.Form_Load(false);
        QCOMPARE(prompter.messages.size(), size_t(1));
        QCOMPARE(QString::fromStdString(prompter.messages[0].title), QString("Error"));
        QCOMPARE(QString::fromStdString(prompter.messages[0].text),
                 QString("Failed to establish a Temporary Folder on this PC. \r\n"
                         "Perhaps the security levels are too high on this PC."));
        QVERIFY(!w.isVisible());
    }

    void recordViewerWithoutRecordsFileSaysNotFound()
    {
        test::RecordingPrompter prompter;
        Main w(prompter);
        w.mnuVREC();
        QCOMPARE(prompter.messages.size(), size_t(1));
        QCOMPARE(QString::fromStdString(prompter.messages[0].text),
                 QString("Unable to locate a Record File for this incident.     "));
        QCOMPARE(prompter.messages[0].icon, MessageIcon::Information);
    }

    void intelUploadNeedsACaseNumberOfTwoCharacters()
    {
        test::RecordingPrompter prompter;
        Main w(prompter);
        QSignalSpy opened(&w, &Main::openUrlRequested);
        w.session().CaseNumber = "7";
        w.mnuIU();
        QCOMPARE(opened.count(), 0);
        w.session().CaseNumber = "77";
        w.mnuIU();
        QCOMPARE(opened.count(), 1);
    }

    // The sibling program starts from its folder, and never as a second copy.
    void vistrelStartsOnceWhileNotRunning()
    {
        QTemporaryDir evidence;
        QVERIFY(QDir(evidence.path()).mkpath("Vistrel"));
        const QString exe = evidence.path() + "/Vistrel/Vistrel";
        QVERIFY(QFile::copy("/bin/sleep", exe));
        test::RecordingPrompter prompter;
        Main w(prompter);
        w.session().listing = FolderListing::Read(evidence.path().toStdString());
        QSignalSpy started(&w, &Main::startProgramRequested);
        w.mnuSB();
        QCOMPARE(started.count(), 1);
        QCOMPARE(started.at(0).at(0).toString(), exe);
        QCOMPARE(started.at(0).at(1).toString(), evidence.path() + "/Vistrel/");

        QProcess running;
        running.start(exe, {"30"});
        QVERIFY(running.waitForStarted());
        w.mnuSB();
        QCOMPARE(started.count(), 1);
        running.kill();
        running.waitForFinished();
    }

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
