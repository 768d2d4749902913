// pellam-cli report EVT OUT.pdf: the examiner's case report as PDF, drawn
// without a display; prints the PDF's SHA-256 as sha256sum writes it, so it
// can be logged. Never written into the evidence folder.
#include "base/Cp1252.h"
#include "casereport/CaseReport.h"
#include "casereport/ReportOutput.h"
#include "casereport/ui/CaseReportView.h"
#include "checksums/Sha256.h"
#include "cli/OpenedIncident.h"
#include "cli/Verbs.h"
#include "richtext/ui/PrintSettings.h"

#include <QApplication>
#include <QFile>
#include <QPrinter>

#include <cstdio>
#include <ctime>

namespace pellam::cli {
namespace {

int Run(const Args& args)
{
    const std::string& out = args[1];
    IncidentModel model;
    if (const auto failed = OpenIncidentArgument(args[0], model))
        return *failed;
    if (const auto refused = CheckReportOutput(out, model.paths.Evidence))
        return Complain(out, refused->text);

    // The pages are laid out and drawn offscreen: no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "pellam-cli";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);

    const std::string examiner = KnownExaminer().value_or("");
    CaseReportBuilder builder(CaseReportInputOf(model, examiner));
    while (builder.Step()) { }
    const CaseReport report = builder.Take();
    for (const InventoryEntry& e : report.inventory)
        if (!e.problem.empty())
            Tell(model.paths.Evidence.Join(e.path), "not read: " + e.problem);
    for (const std::string& change : report.changed)
        Tell(model.paths.Evidence.str(), change);

    const PrinterChooser intoFile = [&](QPrinter& printer, const std::string& document) -> std::optional<PrintStamp> {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QFile::decodeName(out.c_str()));
        return PrintStamp {model.CaseNumber, document, PrintedWhen(std::time(nullptr)), examiner};
    };
    if (PrintCaseReport(report, model.Formats, intoFile, nullptr) != PrintOutcome::Printed)
        return Complain(out, "the PDF could not be written");
    const auto sums = SumsOfFile(out);
    if (!sums)
        return Complain(out, sums.error().text);
    std::printf("%s  %s\n", Sha256Hex(sums->sha256).c_str(), ValidUtf8(out).c_str());
    return kOk;
}

const VerbRegistrar reg("report", "EVT OUT.pdf",
    "the examiner's case report as PDF (never into the evidence folder); prints its SHA-256", &Run);

} // namespace
} // namespace pellam::cli
