// The statistics window on the sample incident: the page on opening, the CRC
// test on its tab (with its colours), a refused test keeping the last report,
// and both reports printed to PDF.
#include "analysis/ui/StatsWindow.h"
#include "support/RecordingPrompter.h"
#include "support/SampleSession.h"

#include <QPrinter>
#include <QProcess>
#include <QProgressBar>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

using namespace pellam;

class StatsWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_session = test::OpenSampleSession();
        QVERIFY(m_session);
    }

    void testsOnItsTabAndKeepsTheReportWhenRefused()
    {
        test::RecordingPrompter prompter;
        StatsWindow stats(*m_session, prompter);
        QVERIFY(!stats.SSTab1()->isTabVisible(2) && !stats.SSTab1()->isTabVisible(3));
        QVERIFY(stats.GSRT()->toPlainText().startsWith("Statistical Analysis of Case # 4711"));
        QVERIFY(stats.RTB()->toPlainText().isEmpty());

        stats.SSTab1()->setCurrentIndex(StatsWindow::kCrcTab);
        QVERIFY(stats.CrcStepTimer().isActive());
        QTRY_VERIFY(!stats.CrcTestRunning());
        const QString report = stats.RTB()->toPlainText();
        QCOMPARE(report.count("\tCRC Matched - PASS"), 5);
        QVERIFY(report.endsWith("Test Completed. No discrepancies found.\n"));
        QCOMPARE(stats.PB1()->value(), 0);
        // The verdict in dark green.
        const QTextCursor pass = stats.RTB()->document()->find("CRC Matched - PASS");
        QCOMPARE(pass.charFormat().foreground().color(), QColor(0, 100, 0));

        m_session->paths.MainLog = "NONE";
        stats.SSTab1()->setCurrentIndex(StatsWindow::kStatisticsTab);
        stats.SSTab1()->setCurrentIndex(StatsWindow::kCrcTab);
        QCOMPARE(prompter.messages.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(prompter.messages[0].title), QString("Cannot Test"));
        QCOMPARE(stats.RTB()->toPlainText(), report);
    }

    void printsBothReportsToPdf()
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        test::RecordingPrompter prompter;
        StatsWindow stats(*m_session, prompter);
        QTemporaryDir dir;
        QString file;
        stats.ChoosePrinter = [&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(file);
            return true;
        };
        const auto printed = [&](const QString& name, auto print) {
            file = dir.filePath(name);
            (stats.*print)();
            QProcess p;
            p.start("pdftotext", {file, "-"});
            p.waitForFinished(20000);
            return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
        };
        const QString page = printed("stats.pdf", &StatsWindow::PrintStatistics);
        QVERIFY2(page.contains("Statistical Analysis of Case # 4711") && page.contains("Average Recording Length"),
            qPrintable(page));
        stats.SSTab1()->setCurrentIndex(StatsWindow::kCrcTab);
        QTRY_VERIFY(!stats.CrcTestRunning());
        const QString results = printed("crc.pdf", &StatsWindow::PrintResults);
        QVERIFY2(
            results.contains("CRC Matched - PASS") && results.contains("No discrepancies found."), qPrintable(results));
    }

private:
    std::unique_ptr<Session> m_session;
};

QTEST_MAIN(StatsWindowTest)
#include "StatsWindowTest.moc"
