// The log viewer on the sample incident's logs: loading, searching, a very
// large log shown in parts (a click on a recording's name, a notation), and
// printing a log to a PDF file.
#include "logs/ui/DocViewer.h"
#include "richtext/ui/PrintView.h"
#include "support/PdfOutput.h"
#include "support/RecordingPrompter.h"

#include <QLineEdit>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

#include <fstream>

using namespace pellam;

namespace {

const std::string kSample = std::string(PELLAM_BINARY_DIR) + "/sample/4711/";

LogViewerInput SampleLogs()
{
    return LogViewerInput {{kSample + "4711_MainLOG.doc", kSample + "4711_NOCLOG.rtf", kSample + "ADCOMM.rtf",
                               kSample + "4711_NPP_Rpt.rtf"},
        "4711", FolderPath(kSample)};
}

} // namespace

class DocViewerTest : public QObject {
    Q_OBJECT
private slots:
    void loadsEveryPresentLogAndHidesTheMissingOnes()
    {
        test::RecordingPrompter prompter;
        LogViewerInput input = SampleLogs();
        input.paths[1] = "NONE";
        DocViewer viewer(input, prompter);
        QVERIFY(viewer.LogViewerOpen());
        auto* tabs = viewer.findChild<QTabWidget*>("SSTab1");
        QVERIFY(tabs->isTabVisible(0) && !tabs->isTabVisible(1) && !viewer.findChild<QAction*>("mnuNOC")->isVisible());
        QVERIFY(viewer.logBox(0)->toPlainText().contains("Incident Number: 4711 Started."));
        QCOMPARE(viewer.logBox(0)->textCursor().position(), 0); // opens at its top
        QVERIFY(prompter.messages.empty());

        // A log that cannot be read: the message.
        input.paths[2] = kSample + "Photo";
        DocViewer broken(input, prompter);
        QVERIFY(!broken.LogViewerOpen());
        QCOMPARE(prompter.messages.size(), std::size_t {1});
        QVERIFY(
            prompter.messages[0].title == "Load Error" && prompter.messages[0].text.starts_with("Error opening \r\n"));
        QCOMPARE(prompter.messages[0].detail, kSample + "Photo\nnot a regular file");
    }

    void searchesOneMatchPerPressThenSaysSoAndKeepsEachLogsState()
    {
        test::RecordingPrompter prompter;
        DocViewer viewer(SampleLogs(), prompter);
        // The log holds the text once (how a search goes on from match to match is the search's own test).
        auto* box = viewer.findChild<QLineEdit*>("Text1");
        box->setText("4711 STARTED");
        QTest::keyClick(box, Qt::Key_Return); // Enter is the button
        QCOMPARE(std::pair(viewer.logBox(0)->textCursor().selectedText(), prompter.messages.size()),
            std::pair(QString("4711 Started"), std::size_t {0}));
        viewer.Search(0);
        QCOMPARE(prompter.messages.at(0).text, "No other matches found for \"4711 STARTED\"  ");

        // Another log's search is its own.
        viewer.findChild<QLineEdit*>("Text3")->setText("zzzz-not-there");
        viewer.Search(2);
        QCOMPARE(prompter.messages.back().text, "No match found for \"zzzz-not-there\"");
        QVERIFY(viewer.searchState(0).SearchActive);
        box->clear();
        viewer.Search(0); // an empty box does nothing
        QCOMPARE(prompter.messages.size(), std::size_t {2});
    }

    void showsAVeryLargeLogInPartsAndWorksAcrossThem()
    {
        // Past the lines one part holds, a recording and a notation.
        QTemporaryDir dir;
        const std::string separator = std::string(40, '-') + "\\par\r\n";
        std::string rtf = "{\\rtf1\\ansi ";
        for (int n = 1; n <= 24000; ++n)
            rtf += "Filler line " + std::to_string(n) + "\\par\r\n";
        rtf += "Recording MP3 File: 4711_Rec09_0900.mp3\\par\r\n" + separator
            + "12/5/2026 09:01:00 - (01:20) Notation By Sgt. Ilse Varga: deep in the log\\par\r\n" + separator + "}";
        const std::string path = dir.filePath("4711_MainLOG.doc").toStdString();
        std::ofstream(path, std::ios::binary) << rtf;

        test::RecordingPrompter prompter;
        DocViewer viewer(
            LogViewerInput {{path, "NONE", "NONE", "NONE"}, "4711", FolderPath(dir.path().toStdString())}, prompter);
        QVERIFY(viewer.LogViewerOpen());
        QCOMPARE(std::tuple(viewer.partCount(0), viewer.shownPart(0), prompter.messages.size()),
            std::tuple(std::size_t {2}, std::size_t {0}, std::size_t {1}));
        QVERIFY(prompter.messages[0].title == "Large Log"
            && prompter.messages[0].text.starts_with("The Main Log is 0.5 MB,"));
        QVERIFY(!viewer.logBox(0)->toPlainText().contains("deep in the log"));

        // Search shows the part its match lies in.
        viewer.findChild<QLineEdit*>("Text1")->setText("DEEP IN");
        viewer.Search(0);
        QCOMPARE(std::pair(viewer.shownPart(0), viewer.logBox(0)->textCursor().selectedText()),
            std::pair(std::size_t {1}, QString("deep in")));

        // A click on the name and a double-click on the notation, in that part.
        const QString shown = viewer.logBox(0)->toPlainText();
        viewer.MainLogClicked(static_cast<int>(shown.indexOf("4711_Rec09")) + 4);
        QCOMPARE(viewer.logBox(0)->textCursor().selectedText(), QString("4711_Rec09_0900.mp3"));
        QSignalSpy played(&viewer, &DocViewer::notationActivated);
        viewer.MainLogDoubleClicked(static_cast<int>(shown.indexOf("Notation By")));
        QCOMPARE(played, QList<QVariantList>({{QString("4711_Rec09_0900.mp3"), 80}}));

        viewer.findChild<QToolButton*>("PartBack0")->click();
        QVERIFY(viewer.logBox(0)->toPlainText().startsWith("Filler line 1\n"));
    }

    void printsALogToPdfPageByPage()
    {
        test::RecordingPrompter prompter;
        DocViewer viewer(SampleLogs(), prompter);
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        test::PdfPrinter(dir.filePath("main.pdf"))(printer);
        const int pages = PrintRichText(*viewer.logBox(0)->document(), printer, kLogMargins, {});
        QCOMPARE(test::PdfPages(dir.filePath("main.pdf")), pages);
        QVERIFY(test::PdfText(dir.filePath("main.pdf"), {"-layout"}).contains("Incident Number: 4711 Started."));
        // The preview of the selected log lays it out as the printer does.
        viewer.findChild<QAction*>("mnuPreview")->trigger();
        auto* preview = viewer.findChild<QPrintPreviewWidget*>();
        QVERIFY(preview);
        QTRY_COMPARE(preview->pageCount(), pages);

        // A long log goes on over as many pages as it needs, no line lost.
        QTextDocument longLog;
        QStringList lines;
        for (int n = 1; n <= 300; ++n)
            lines << QString("Entry %1 of the long log").arg(n);
        longLog.setPlainText(lines.join('\n'));
        printer.setOutputFileName(dir.filePath("long.pdf"));
        const int longPages = PrintRichText(longLog, printer, kLogMargins, {});
        QVERIFY(longPages >= 4);
        QCOMPARE(test::PdfPages(dir.filePath("long.pdf")), longPages);
        const QString longText = test::PdfText(dir.filePath("long.pdf"), {"-layout"});
        for (int n : {1, 57, 150, 299, 300})
            QVERIFY2(longText.contains(QString("Entry %1 of the long log").arg(n)), qPrintable(QString::number(n)));

        QTextDocument empty;
        printer.setOutputFileName(dir.filePath("empty.pdf"));
        QCOMPARE(PrintRichText(empty, printer, kLogMargins, {}), 1);
        QCOMPARE(test::PdfPages(dir.filePath("empty.pdf")), 1);
    }
};

QTEST_MAIN(DocViewerTest)
#include "DocViewerTest.moc"
