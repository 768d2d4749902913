// The log viewer wired into the main window on the sample incident: a
// double-clicked notation decodes its recording and plays it from ten seconds
// before the notation; the print entries print the log file to a PDF.
#include "app/Main.h"
#include "audio/ui/LoadSequenceDriver.h"
#include "logs/ui/DocViewer.h"
#include "support/RecordingPrompter.h"
#include "support/VirtualWaveBackend.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace pellam;

class LogLinkTest : public QObject {
    Q_OBJECT
private slots:
    void notationPlaysItsRecordingAndLogsPrint()
    {
        QTemporaryDir home;
        qputenv("HOME", home.path().toUtf8());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
        test::RecordingPrompter prompter;
        Main w(prompter, std::make_unique<VirtualWaveBackend>());
        w.Form_Load(false);
        w.OpenEventFile(PELLAM_BINARY_DIR "/sample/4711/4711.evt");
        w.GetDirsTIM().stop();
        QElapsedTimer clock;
        clock.start();
        while (w.Loading() && clock.elapsed() < 30000) {
            w.GetDirsTIMTick();
            QTest::qWait(1);
        }
        QVERIFY(!w.Loading());

        w.findChild<QAction*>("mnuVML")->trigger();
        QVERIFY(w.LogViewerOpen());
        DocViewer* viewer = w.logViewer();
        QVERIFY(viewer->LogViewerOpen());
        const QString text = viewer->logBox(0)->toPlainText();
        viewer->MainLogDoubleClicked(static_cast<int>(text.indexOf("Command post approves")));
        QCOMPARE(w.NPLabel()->text(), QString("Converting MP3 to WAV"));
        QTRY_COMPARE_WITH_TIMEOUT(w.NPLabel()->text(), QString("Playing 4711_Sub01_1441.mp3"), 20000);
        // The notation was made 12 s in: playback starts 2 s in.
        QVERIFY2(w.player().Position() >= 2000 && w.player().Position() < 4000,
            qPrintable(QString::number(w.player().Position())));
        QVERIFY(w.loader().sequence().NoteAudioStart == 0);

        // Printing closes the viewer first and prints the file itself.
        QTemporaryDir out;
        w.ChoosePrinter = [&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(out.filePath("main.pdf"));
            return true;
        };
        w.findChild<QAction*>("mnuPML")->trigger();
        QTRY_VERIFY(!w.LogViewerOpen());
        QVERIFY(QFileInfo(out.filePath("main.pdf")).size() > 1000);
        if (!QStandardPaths::findExecutable("pdftotext").isEmpty()) {
            QProcess p;
            p.start("pdftotext", {out.filePath("main.pdf"), "-"});
            p.waitForFinished(20000);
            QVERIFY(QString::fromUtf8(p.readAllStandardOutput()).contains("Incident Number: 4711 Ended."));
        }
        QVERIFY(prompter.messages.empty());
    }
};

QTEST_MAIN(LogLinkTest)
#include "LogLinkTest.moc"
