#pragma once
// "Case Report…": the examiner's case report of the open incident, built a
// few steps per turn of the event loop with its progress shown (the window
// stays usable), then printed through the program's printer choice, which
// suggests "<case>-Case Report.pdf" and refuses the evidence folder.
#include "base/Prompter.h"
#include "casereport/CaseReport.h"
#include "richtext/ui/PrintView.h"
#include "workspace/IncidentModel.h"

#include <QObject>
#include <QTimer>

#include <memory>

class QProgressDialog;
class QWidget;

namespace pellam {

class Shell;

class CaseReportRun final : public QObject {
    Q_OBJECT
public:
    CaseReportRun(const IncidentModel& model, Shell& shell, Prompter& prompter, QWidget* window);
    ~CaseReportRun() override;

    // Begins the report; nothing while one is being built.
    void Start();
    bool Running() const { return m_builder != nullptr; }
    // ReportTIM: builds for about 20 ms, shows the progress, and prints the
    // report once it is complete.
    void tick();
    QProgressDialog* progress() const { return m_progress; }

signals:
    void finished(PrintOutcome outcome);

private:
    void Stop();

    const IncidentModel& m_model;
    Shell& m_shell;
    Prompter& m_prompter;
    QWidget* m_window;
    std::unique_ptr<CaseReportBuilder> m_builder;
    QProgressDialog* m_progress = nullptr;
    QTimer m_timer {this};
};

} // namespace pellam
