#pragma once
// Printing into PDF files and reading them back with poppler's tools, for the
// window tests that print.
#include "richtext/ui/PrintView.h"

#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace pellam::test {

// A printer set up to print into the file `pdf`, as a test's shell sets it up.
inline auto PdfPrinter(const QString& pdf)
{
    return [pdf](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
}

// A printer chooser, as the windows take one, that prints into the file `pdf`
// for case "TEST".
inline PrinterChooser PrintInto(const QString& pdf)
{
    return [pdf](QPrinter& printer, const std::string& document) -> std::optional<PrintStamp> {
        PdfPrinter(pdf)(printer);
        return PrintStamp {"TEST", document, "2026-12-06 09:15", "Test Examiner"};
    };
}

// The text pdftotext reads from `pdf`, compatibility characters folded.
inline QString PdfText(const QString& pdf, const QStringList& options = {})
{
    QProcess p;
    p.start("pdftotext", options + QStringList {pdf, "-"});
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

// What pdfinfo says of `pdf`.
inline QString PdfInfo(const QString& pdf)
{
    QProcess p;
    p.start("pdfinfo", {pdf});
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The page count pdfinfo gives for `pdf`; -1 when it gives none.
inline int PdfPages(const QString& pdf)
{
    const auto pages = QRegularExpression("Pages:\\s+(\\d+)").match(PdfInfo(pdf));
    return pages.hasMatch() ? pages.captured(1).toInt() : -1;
}

} // namespace pellam::test
