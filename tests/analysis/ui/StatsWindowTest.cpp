// The statistics window on the sample incident: the page on opening, the CRC
// test on its tab (with its colours), a refused test keeping the last report,
// and both reports printed to PDF. Recordings the Main Log lists that the
// folder lacks are the CRC test's and the verify verb's tests.
#include "analysis/ui/StatsWindow.h"
#include "support/PdfOutput.h"
#include "support/RecordingPrompter.h"
#include "support/SampleIncident.h"

#include <QProgressBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

using namespace pellam;

class StatsWindowTest : public QObject {
    Q_OBJECT
private slots:
    // The page on opening; the CRC test on its tab; both reports printed; a
    // refused test keeps the last report.
    void testsOnItsTabPrintsAndKeepsTheReportWhenRefused()
    {
        std::unique_ptr<IncidentModel> model = test::OpenSampleIncident();
        QVERIFY(model);
        test::RecordingPrompter prompter;
        QTemporaryDir dir;
        QString printInto;
        StatsInput input {StatisticsOf(*model), model->RecordsPath, model->roles, CrcTestInputOf(*model),
            [&](QPrinter& printer, const std::string& name) { return test::PrintInto(printInto)(printer, name); }};
        StatsWindow stats(input, prompter);
        const auto printed = [&](const QString& name, auto print) {
            printInto = dir.filePath(name);
            (stats.*print)();
            return test::PdfText(printInto);
        };
        QVERIFY(stats.GSRT()->toPlainText().startsWith("Statistical Analysis of Case # 4711"));
        const QString page = printed("stats.pdf", &StatsWindow::PrintStatistics);
        QVERIFY2(page.contains("Statistical Analysis of Case # 4711") && page.contains("Average Recording Length"),
            qPrintable(page));

        stats.SSTab1()->setCurrentIndex(StatsWindow::kCrcTab);
        QVERIFY(stats.CrcTestRunning());
        QTRY_VERIFY(!stats.CrcTestRunning());
        const QString report = stats.RTB()->toPlainText();
        QCOMPARE(std::pair(report.count("\tCRC Matched - PASS"), stats.PB1()->value()), std::pair(qsizetype(5), 0));
        // The verdict in dark green.
        const QTextCursor pass = stats.RTB()->document()->find("CRC Matched - PASS");
        QCOMPARE(pass.charFormat().foreground().color(), QColor(0, 100, 0));
        const QString results = printed("crc.pdf", &StatsWindow::PrintResults);
        QVERIFY2(
            results.contains("CRC Matched - PASS") && results.contains("No discrepancies found."), qPrintable(results));

        QVERIFY(prompter.messages.empty());

        // Without a Main Log the test is refused; the box keeps what it showed.
        input.crc.mainLogPath = "NONE";
        StatsWindow refused(input, prompter);
        refused.RTB()->setPlainText(report);
        refused.SSTab1()->setCurrentIndex(StatsWindow::kCrcTab);
        QCOMPARE(prompter.messages.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(prompter.messages[0].title), QString("Cannot Test"));
        QCOMPARE(refused.RTB()->toPlainText(), report);
    }
};

QTEST_MAIN(StatsWindowTest)
#include "StatsWindowTest.moc"
