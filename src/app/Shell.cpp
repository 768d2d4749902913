#include "app/Shell.h"

#include "casereport/ReportOutput.h"
#include "richtext/ui/PrintSettings.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>

namespace pellam {

std::string ExaminerOf(Shell& shell, QWidget* over)
{
    if (auto known = KnownExaminer())
        return *known;
    const std::string answer = shell.AskExaminer(over).trimmed().toStdString();
    if (!answer.empty())
        RememberExaminer(answer);
    return answer;
}

PrinterChooser PrinterChoiceOf(Shell& shell, Prompter& prompter, const IncidentModel& model)
{
    return [&shell, &prompter, &model](QPrinter& printer, const std::string& document) -> std::optional<PrintStamp> {
        QWidget* over = QApplication::activeWindow();
        const std::string examiner = ExaminerOf(shell, over);
        printer.setOutputFileName(SuggestedPdfPath(LastPrintFolder(), model.CaseNumber, document));
        if (!shell.ChoosePrinter(printer, over))
            return std::nullopt;
        if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
            const std::string out = QFile::encodeName(printer.outputFileName()).toStdString();
            if (const auto refused = CheckReportOutput(out, model.paths.Evidence)) {
                prompter.Show(*refused);
                return std::nullopt;
            }
            RememberPrintFolder(QFileInfo(printer.outputFileName()).absolutePath());
        }
        return PrintStamp {model.CaseNumber, document, PrintedWhen(std::time(nullptr)), examiner};
    };
}

} // namespace pellam
