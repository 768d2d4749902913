#pragma once
// Every printout of the program: the whole of one rich document, page by
// page, with the margins measured from the paper's edge, in the document's
// own fonts, colours and alignment.
#include "base/Twips.h"
#include "richtext/RichDocument.h"
#include "richtext/ui/TextDocumentBuilder.h"

#include <functional>

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

// How a window lets the operator choose the printer (a test supplies a PDF file).
using PrinterChooser = std::function<bool(QPrinter&)>;

// How a print request ended.
enum class PrintOutcome { Printed, Cancelled, NotStarted };

// The print sequence of every window: asks `chooser` for the printer (the
// system's printer dialog over `parent` when none is set), lays `doc` out
// with its pictures for that printer, prints it within `margins` and reports
// how it ended: NotStarted when the printer could not be started.
PrintOutcome PrintDocument(const RichDocument& doc, PrintMargins margins, const PrinterChooser& chooser,
    QWidget* parent, const Pictures& pictures = {});

// Asks `chooser` for the printer, or, when none is set, the system's printer
// dialog over `parent`; false when the operator cancelled.
bool ChoosePrinterWith(const PrinterChooser& chooser, QPrinter& printer, QWidget* parent);

// Prints `doc` on `printer` (a queue or a PDF file) and returns the number of
// pages printed: at least one, an empty document too; 0 when the printer
// cannot be started.
int PrintRichText(const QTextDocument& doc, QPrinter& printer, PrintMargins margins);

} // namespace pellam
