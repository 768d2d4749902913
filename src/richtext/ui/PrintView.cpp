#include "richtext/ui/PrintView.h"

#include <QPrintDialog>

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>

#include <memory>

namespace pellam {
namespace {

constexpr int kFooterPointSize = 7;

QString Text(const std::string& utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// The two footer lines in the bottom margin, under the text area, so the
// text keeps the area the margins give it.
void DrawFooter(QPainter& painter, const QRectF& paper, const QRectF& area, double perTwip, const FooterTexts& f)
{
    painter.save();
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(kFooterPointSize);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const double lineHeight = painter.fontMetrics().height();
    // A third of the way into the margin, or just under the text when the margin is narrow.
    const double top = std::min(
        area.bottom() + (paper.bottom() - area.bottom()) / 3.0, paper.bottom() - 2 * lineHeight - 120 * perTwip);
    const QRectF first(area.left(), std::max(area.bottom(), top), area.width(), lineHeight);
    const QRectF second = first.translated(0, lineHeight);
    painter.drawLine(QPointF(area.left(), first.top()), QPointF(area.right(), first.top()));
    const int left = Qt::AlignLeft | Qt::AlignVCenter;
    const int right = Qt::AlignRight | Qt::AlignVCenter;
    painter.drawText(first, left, Text(f.topLeft));
    painter.drawText(first, right, Text(f.topRight));
    painter.drawText(second, left, Text(f.bottomLeft));
    painter.drawText(second, right, Text(f.bottomRight));
    painter.restore();
}

// The chooser's stamp, or a stamp naming only the document when the
// system's dialog chose the printer.
std::optional<PrintStamp> Choose(
    const PrinterChooser& chooser, QPrinter& printer, const std::string& document, QWidget* parent)
{
    if (chooser)
        return chooser(printer, document);
    if (!RunPrintDialog(printer, parent))
        return std::nullopt;
    return PrintStamp {"", document, PrintedWhen(std::time(nullptr)), ""};
}

} // namespace

std::string PrintTitle(const PrintStamp& stamp)
{
    return stamp.caseNumber.empty() ? stamp.document : stamp.document + " of case " + stamp.caseNumber;
}

int PrintRichText(const QTextDocument& source, QPrinter& printer, PrintMargins margins, const PrintStamp& stamp,
    const PaginationHook& paginate)
{
    // Coordinates from the paper's corner, so margins are measured from the
    // edge whatever the printer's unprintable border is.
    printer.setFullPage(true);
    // A PDF's title names the document.
    printer.setDocName(Text(PrintTitle(stamp)));
    printer.setCreator(QStringLiteral("Pellam"));
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
    if (paginate)
        paginate(*doc, area.height());
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
        DrawFooter(painter, QRectF(QPointF(0, 0), paper.size()), area, perTwip, FooterOf(stamp, page + 1, pages));
    }
    painter.end();
    return pages;
}

bool RunPrintDialog(QPrinter& printer, QWidget* parent)
{
    return QPrintDialog(&printer, parent).exec() == QDialog::Accepted;
}

PrintOutcome PrintTextDocument(const QTextDocument& doc, const std::string& document, PrintMargins margins,
    const PrinterChooser& chooser, QWidget* parent, const PaginationHook& paginate)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(Text(document));
    const auto stamp = Choose(chooser, printer, document, parent);
    if (!stamp)
        return PrintOutcome::Cancelled;
    return PrintRichText(doc, printer, margins, *stamp, paginate) > 0 ? PrintOutcome::Printed
                                                                      : PrintOutcome::NotStarted;
}

PrintOutcome PrintDocument(const RichDocument& doc, const std::string& document, PrintMargins margins,
    const PrinterChooser& chooser, QWidget* parent, const Pictures& pictures)
{
    const auto text = BuildTextDocument(doc, nullptr, pictures);
    return PrintTextDocument(*text, document, margins, chooser, parent);
}

} // namespace pellam
