#pragma once
// The case report on pages: the cover, a contents list with the page each
// section begins on, then every section from a new page, the persons'
// photos and the timeline's picture in place. It prints through the print
// path every printout takes, so its pages carry the same footer.
#include "casereport/CaseReport.h"
#include "richtext/ui/PrintView.h"
#include "workspace/LocaleFormats.h"

#include <QImage>

#include <memory>

class QTextDocument;

namespace pellam {

inline constexpr const char* kCaseReportName = "Case Report";

// The timeline drawn as the timeline window draws it, `width` points wide
// at twice the detail, for a page.
QImage TimelinePicture(const Timeline& timeline, const LocaleFormats& formats, int width);

// The report as one document and how its contents list learns its page numbers.
struct ComposedReport {
    std::unique_ptr<QTextDocument> doc;
    PaginationHook paginate;
};
ComposedReport ComposeCaseReport(const CaseReport& report, const LocaleFormats& formats);

PrintOutcome PrintCaseReport(
    const CaseReport& report, const LocaleFormats& formats, const PrinterChooser& chooser, QWidget* parent);

} // namespace pellam
