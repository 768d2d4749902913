#include "richtext/ui/PrintView.h"

#include <QPrintDialog>

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>

#include <memory>

namespace pellam {

int PrintRichText(const QTextDocument& source, QPrinter& printer, PrintMargins margins)
{
    // Coordinates from the paper's corner, so margins are measured from the
    // edge whatever the printer's unprintable border is.
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer))
        return 0;

    const double perTwip = printer.resolution() / 1440.0;
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QRectF area(margins.left * perTwip, margins.top * perTwip,
        paper.width() - (margins.left + margins.right) * perTwip,
        paper.height() - (margins.top + margins.bottom) * perTwip);

    // Laid out for the printer's own resolution, in a copy so the document
    // on screen keeps its layout.
    std::unique_ptr<QTextDocument> doc(source.clone());
    doc->documentLayout()->setPaintDevice(&printer);
    doc->setPageSize(area.size());
    const int pages = std::max(1, doc->pageCount());

    QAbstractTextDocumentLayout::PaintContext context;
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            printer.newPage();
        painter.save();
        const QRectF view(0, page * area.height(), area.width(), area.height());
        painter.translate(area.left(), area.top() - view.top());
        painter.setClipRect(view);
        context.clip = view;
        doc->documentLayout()->draw(&painter, context);
        painter.restore();
    }
    painter.end();
    return pages;
}

bool ChoosePrinterWith(const PrinterChooser& chooser, QPrinter& printer, QWidget* parent)
{
    return chooser ? chooser(printer) : QPrintDialog(&printer, parent).exec() == QDialog::Accepted;
}

PrintOutcome PrintDocument(const RichDocument& doc, PrintMargins margins, const PrinterChooser& chooser,
    QWidget* parent, const Pictures& pictures)
{
    QPrinter printer(QPrinter::HighResolution);
    if (!ChoosePrinterWith(chooser, printer, parent))
        return PrintOutcome::Cancelled;
    const auto text = BuildTextDocument(doc, nullptr, pictures);
    return PrintRichText(*text, printer, margins) > 0 ? PrintOutcome::Printed : PrintOutcome::NotStarted;
}

} // namespace pellam
