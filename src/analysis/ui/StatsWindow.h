#pragma once
// The statistics window: the statistics page on its first tab, the CRC
// integrity test on its second, each with a progress bar and a print button.
// The page is composed when the window opens and whenever a tab other than
// the test's is chosen; the test runs, from a fresh report, each time its tab
// is chosen, a few recordings per turn of the event loop. Recordings the Main
// Log lists that the evidence folder does not hold are told in a message box
// after the report.
#include "analysis/CRCTest.h"
#include "analysis/Statistics.h"
#include "base/Prompter.h"
#include "richtext/ui/PrintView.h"
#include "workspace/RoleTable.h"

#include <QTimer>
#include <QWidget>

#include <memory>
#include <string>

class QProgressBar;
class QPushButton;
class QTabWidget;
class QTextEdit;

namespace pellam {

// What the statistics window reads: the page's input, the records file and
// role labels its role-0 label is read with each time the page is composed,
// the CRC test's input, and how the printer is chosen (the system's printer
// dialog when unset).
struct StatsInput {
    StatisticsInput page;
    std::string recordsPath;
    RoleTable roles;
    CrcTestInput crc;
    PrinterChooser choosePrinter;
};

class StatsWindow final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kStatisticsTab = 0;
    static constexpr int kCrcTab = 1;

    StatsWindow(StatsInput input, Prompter& prompter, QWidget* parent = nullptr);
    ~StatsWindow() override;

    QTabWidget* SSTab1() const { return m_tabs; }
    QTextEdit* GSRT() const { return m_gsrt; }
    QTextEdit* RTB() const { return m_rtb; }
    QProgressBar* PB1() const { return m_pb1; }
    bool CrcTestRunning() const { return m_test && m_test->Outcome() == CrcTestOutcome::Running; }
    const CRCTest* LastCrcTest() const { return m_test.get(); }

    void RunCRCTest();
    void BuildStatistics();
    // Runs the test for at most ~20 ms, then shows the report so far (the
    // window's timer calls it while the test runs).
    void StepCrcTest();
    void PrintResults();
    void PrintStatistics();

private:
    void TabChanged(int index);
    bool Print(const RichDocument& doc, const std::string& name, bool sheet);
    void TellUnheld();

    StatsInput m_input;
    Prompter& m_prompter;
    QTabWidget* m_tabs = nullptr;
    QTextEdit* m_gsrt = nullptr;
    QTextEdit* m_rtb = nullptr;
    QProgressBar* m_pbg = nullptr;
    QProgressBar* m_pb1 = nullptr;
    RichDocument m_statistics;
    std::unique_ptr<CRCTest> m_test;
    bool m_unheldTold = false;
    QTimer m_stepTimer;
};

} // namespace pellam
