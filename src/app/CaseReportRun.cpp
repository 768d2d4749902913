#include "app/CaseReportRun.h"

#include "app/Shell.h"
#include "casereport/ui/CaseReportView.h"

#include <QElapsedTimer>
#include <QProgressDialog>

namespace pellam {

CaseReportRun::CaseReportRun(const IncidentModel& model, Shell& shell, Prompter& prompter, QWidget* window)
    : QObject(window), m_model(model), m_shell(shell), m_prompter(prompter), m_window(window)
{
    m_timer.setObjectName("ReportTIM");
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &CaseReportRun::tick);
}

CaseReportRun::~CaseReportRun() = default;

void CaseReportRun::Start()
{
    if (Running())
        return;
    const std::string examiner = ExaminerOf(m_shell, m_window);
    m_builder = std::make_unique<CaseReportBuilder>(CaseReportInputOf(m_model, examiner));
    m_progress = new QProgressDialog(m_window);
    m_progress->setObjectName("ReportProgress");
    m_progress->setWindowTitle(QString::fromUtf8(kCaseReportName));
    m_progress->setMinimumDuration(300);
    m_progress->setMaximum(m_builder->ProgressMax());
    m_progress->setValue(0);
    connect(m_progress, &QProgressDialog::canceled, this, [this] {
        Stop();
        emit finished(PrintOutcome::Cancelled);
    });
    m_timer.start();
}

void CaseReportRun::Stop()
{
    m_timer.stop();
    m_builder.reset();
    if (m_progress) {
        m_progress->disconnect(this);
        m_progress->deleteLater();
        m_progress = nullptr;
    }
}

void CaseReportRun::tick()
{
    if (!m_builder)
        return;
    QElapsedTimer turn;
    turn.start();
    bool more = true;
    while ((more = m_builder->Step()) && turn.elapsed() < 20) { }
    m_progress->setMaximum(m_builder->ProgressMax());
    m_progress->setLabelText(QString::fromStdString(m_builder->Activity()));
    m_progress->setValue(std::min(m_builder->Progress(), m_progress->maximum() - 1));
    if (more)
        return;
    const CaseReport report = m_builder->Take();
    Stop();
    const PrintOutcome outcome
        = PrintCaseReport(report, m_model.Formats, PrinterChoiceOf(m_shell, m_prompter, m_model), m_window);
    if (outcome == PrintOutcome::NotStarted)
        m_prompter.Show({"Case Report", "The case report could not be printed.", MessageIcon::Exclamation});
    emit finished(outcome);
}

} // namespace pellam
