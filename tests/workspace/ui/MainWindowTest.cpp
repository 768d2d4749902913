// The main window's menu, start-up and shared procedures.
#include "attachments/ui/About.h"
#include "support/RecordingPrompter.h"
#include "workspace/ui/Main.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

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
        for (int i = 1; i <= 6; ++i) {
            about->Timer1Tick();
            QCOMPARE(about->PB1()->value(), i + 1);
        }
        QCOMPARE(done.count(), 0);
        about->Timer1Tick();
        QCOMPARE(done.count(), 1);
        QVERIFY(w.AboutTIM().isActive());
        w.AboutTIM().stop();
        w.ContinueLoad();
        QCOMPARE(w.windowTitle(), QString(" Norvik Technologies   Pellam v7.54"));
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

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
