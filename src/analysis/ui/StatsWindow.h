#pragma once
// The statistics window: the statistics page on its first tab, the CRC
// integrity test on its second, each with a progress bar and a print button.
// The page is composed when the window opens and whenever a tab other than
// the test's is chosen; the test runs, from a fresh report, each time its tab
// is chosen, a few recordings per turn of the event loop. Recordings the Main
// Log lists that the evidence folder does not hold are told in a message box
// after the report.
#include "analysis/CRCTest.h"
#include "base/Prompter.h"
#include "workspace/Session.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

class QPrinter;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTextEdit;

namespace pellam {

class StatsWindow final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kStatisticsTab = 0;
    static constexpr int kCrcTab = 1;

    StatsWindow(Session& session, Prompter& prompter, QWidget* parent = nullptr);
    ~StatsWindow() override;

    // Lets the operator choose the printer; the system's printer dialog when unset.
    std::function<bool(QPrinter&)> ChoosePrinter;

    QTabWidget* SSTab1() const { return m_tabs; }
    QTextEdit* GSRT() const { return m_gsrt; }
    QTextEdit* RTB() const { return m_rtb; }
    QProgressBar* PB1() const { return m_pb1; }
    // The running test steps on this timer; a test steps it by hand.
    QTimer& CrcStepTimer() { return m_stepTimer; }
    bool CrcTestRunning() const { return m_test && m_test->Outcome() == CrcTestOutcome::Running; }
    const CRCTest* LastCrcTest() const { return m_test.get(); }

    void RunCRCTest();
    void BuildStatistics();
    // Runs the test for at most ~20 ms, then shows the report so far.
    void StepCrcTest();
    void PrintResults();
    void PrintStatistics();

private:
    void TabChanged(int index);
    bool Print(const RichDocument& doc, bool sheet);
    void TellUnheld();

    Session& m_session;
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
