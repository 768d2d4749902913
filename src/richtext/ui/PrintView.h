#pragma once
// Every printout of the program: the whole of one rich document, page by
// page, with the margins measured from the paper's edge, in the document's
// own fonts, colours and alignment, and a footer in the bottom margin that
// names the case, the document, the page, when and by whom it was printed.
#include "base/Twips.h"
#include "richtext/PrintFooter.h"
#include "richtext/RichDocument.h"
#include "richtext/ui/TextDocumentBuilder.h"

#include <functional>
#include <optional>
#include <string>

class QPrinter;
class QTextDocument;
class QWidget;

namespace pellam {

struct PrintMargins {
    int left = 0; // twips
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The margins the log printouts and the CRC report use.
inline constexpr PrintMargins kLogMargins {500, 1000, 500, 1000};
// The statistics page and the record sheet.
inline constexpr PrintMargins kSheetMargins {1000, 1000, 1000, 1000};

// How a window has the printer chosen for the document named `document`: it
// sets the printer up (a queue or a PDF file) and gives the stamp its pages'
// footer shows; nothing when the operator cancelled. The program's chooser
// asks the examiner and the printer dialog; a test supplies a PDF file.
using PrinterChooser = std::function<std::optional<PrintStamp>(QPrinter& printer, const std::string& document)>;

// A document whose text depends on where its pages break (a table of
// contents) completes itself here, once laid out for the printer's page of
// `pageHeight`, in the copy that is printed.
using PaginationHook = std::function<void(QTextDocument& laidOut, double pageHeight)>;

// How a print request ended.
enum class PrintOutcome { Printed, Cancelled, NotStarted };

// The print sequence of every window: asks `chooser` for the printer (the
// system's printer dialog over `parent` when none is set), lays `doc` out
// with its pictures for that printer, prints it within `margins` and reports
// how it ended: NotStarted when the printer could not be started.
PrintOutcome PrintDocument(const RichDocument& doc, const std::string& document, PrintMargins margins,
    const PrinterChooser& chooser, QWidget* parent, const Pictures& pictures = {});

// The same for a document already laid out as a QTextDocument (the case
// report, put together from several documents).
PrintOutcome PrintTextDocument(const QTextDocument& doc, const std::string& document, PrintMargins margins,
    const PrinterChooser& chooser, QWidget* parent, const PaginationHook& paginate = {});

// The system's printer dialog over `parent`; false when the operator cancelled.
bool RunPrintDialog(QPrinter& printer, QWidget* parent);

// Prints `doc` on `printer` (a queue or a PDF file), each page with the
// footer of `stamp`, and returns the number of pages printed: at least one,
// an empty document too; 0 when the printer cannot be started.
int PrintRichText(const QTextDocument& doc, QPrinter& printer, PrintMargins margins, const PrintStamp& stamp,
    const PaginationHook& paginate = {});

// The title a printout's PDF carries: "<document> of case <case>".
std::string PrintTitle(const PrintStamp& stamp);

} // namespace pellam
