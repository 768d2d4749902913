#include "analysis/ui/StatsWindow.h"

#include "analysis/Statistics.h"
#include "base/Twips.h"
#include "richtext/ui/PrintView.h"
#include "richtext/ui/TextDocumentBuilder.h"

#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QVBoxLayout>

namespace pellam {
namespace {

// One tab: the report box in a frame, its progress bar and its print button.
QWidget* ReportTab(QTextEdit*& box, const char* boxName, QProgressBar*& bar, const char* barName, QPushButton*& print,
    const char* caption, const char* buttonName)
{
    auto* tab = new QWidget;
    auto* column = new QVBoxLayout(tab);
    auto* frame = new QFrame(tab);
    frame->setFrameShape(QFrame::StyledPanel);
    auto* inFrame = new QVBoxLayout(frame);
    box = new QTextEdit(frame);
    box->setObjectName(boxName);
    box->setReadOnly(true);
    inFrame->addWidget(box);
    column->addWidget(frame, 1);
    bar = new QProgressBar(tab);
    bar->setObjectName(barName);
    bar->setTextVisible(false);
    column->addWidget(bar);
    print = new QPushButton(caption, tab);
    print->setObjectName(buttonName);
    column->addWidget(print, 0, Qt::AlignRight);
    return tab;
}

} // namespace

StatsWindow::StatsWindow(StatsInput input, Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), m_input(std::move(input)), m_prompter(prompter)
{
    setObjectName("STATS");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(" Statistical and CRC Analysis Information");
    resize(TwipsToPixels(11000), TwipsToPixels(8500));

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName("SSTab1");
    QPushButton* printStatistics = nullptr;
    QPushButton* printResults = nullptr;
    m_tabs->addTab(
        ReportTab(m_gsrt, "GSRT", m_pbg, "PBG", printStatistics, "Print Statistics", "Command3"), "General Statistics");
    m_tabs->addTab(ReportTab(m_rtb, "RTB", m_pb1, "PB1", printResults, "Print Results", "Command1"), "CRC Analysis");
    m_tabs->addTab(new QWidget, "Tab 2");
    m_tabs->addTab(new QWidget, "Tab 3");
    m_tabs->setTabVisible(2, false);
    m_tabs->setTabVisible(3, false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);

    m_stepTimer.setInterval(0);
    connect(&m_stepTimer, &QTimer::timeout, this, &StatsWindow::StepCrcTest);
    connect(printStatistics, &QPushButton::clicked, this, &StatsWindow::PrintStatistics);
    connect(printResults, &QPushButton::clicked, this, &StatsWindow::PrintResults);
    connect(m_tabs, &QTabWidget::currentChanged, this, &StatsWindow::TabChanged);

    m_pbg->setValue(0);
    m_pb1->setValue(0);
    BuildStatistics();
}

StatsWindow::~StatsWindow() = default;

void StatsWindow::TabChanged(int index)
{
    if (index == kCrcTab)
        RunCRCTest();
    else
        BuildStatistics();
}

void StatsWindow::BuildStatistics()
{
    m_pbg->setMaximum(10);
    m_pbg->setValue(0);
    m_gsrt->clear();
    m_input.page.roleName0 = PageRoleName0(m_input.recordsPath, m_input.roles);
    m_statistics = pellam::BuildStatistics(m_input.page);
    FillTextDocument(*m_gsrt->document(), m_statistics);
    m_pbg->setValue(0);
}

void StatsWindow::RunCRCTest()
{
    auto test = CRCTest::Of(m_input.crc);
    m_pb1->setMaximum(std::max(1, test->ProgressMax()));
    m_pb1->setValue(0);
    if (const auto refused = test->Start()) {
        m_prompter.Show(*refused); // the report box keeps what it showed
        return;
    }
    m_test = std::move(test);
    m_unheldTold = false;
    FillTextDocument(*m_rtb->document(), m_test->Report());
    if (CrcTestRunning())
        m_stepTimer.start();
    else
        TellUnheld();
}

void StatsWindow::StepCrcTest()
{
    if (!m_test)
        return;
    QElapsedTimer turn;
    turn.start();
    bool more = true;
    while ((more = m_test->Step()) && turn.elapsed() < 20) { }
    if (!more)
        m_stepTimer.stop();
    if (m_test->Outcome() != CrcTestOutcome::NotEnded)
        m_pb1->setValue(m_test->Progress());
    FillTextDocument(*m_rtb->document(), m_test->Report());
    m_rtb->moveCursor(QTextCursor::End);
    if (!more)
        TellUnheld();
}

void StatsWindow::TellUnheld()
{
    // Recordings the Main Log lists that the folder lacks are not in the
    // report at all; the examiner is told once the report is complete.
    if (m_unheldTold)
        return;
    m_unheldTold = true;
    if (const auto notice = UnheldNotice(m_test->Unheld()))
        m_prompter.Show(*notice);
}

bool StatsWindow::Print(const RichDocument& doc, const std::string& name, bool sheet)
{
    return PrintDocument(doc, name, sheet ? kSheetMargins : kLogMargins, m_input.choosePrinter, this)
        == PrintOutcome::Printed;
}

void StatsWindow::PrintResults()
{
    Print(m_test ? m_test->Report() : RichDocument {}, "CRC Integrity Test", false);
}

void StatsWindow::PrintStatistics()
{
    Print(m_statistics, "Statistics", true);
}

} // namespace pellam
