#include "casereport/ui/CaseReportView.h"

#include "records/ui/PhotoLoader.h"
#include "richtext/ui/TextDocumentBuilder.h"
#include "workbench/ui/TimelineView.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextTable>

namespace pellam {
namespace {

// The timeline is as wide as a page's text area, the photos as large as the
// record sheet's photo box (2700 twips); both with more pixels than that
// for print, never with more than that whatever the picture's own size.
constexpr int kPictureWidth = 680;
constexpr int kPhotoSide = 180;
constexpr int kDetail = 3;

QString Text(const std::string& utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

class Composer {
public:
    explicit Composer(QTextDocument& doc) : m_doc(doc), m_cursor(&doc) { }

    // Appends the part; the number of its first block.
    int Append(const RichDocument& rich, const Pictures& pictures, bool newPage)
    {
        const auto part = BuildTextDocument(rich, nullptr, pictures);
        for (auto it = pictures.begin(); it != pictures.end(); ++it)
            m_doc.addResource(QTextDocument::ImageResource, QUrl(it.key()), it.value());
        m_cursor.movePosition(QTextCursor::End);
        if (!m_empty)
            m_cursor.insertBlock();
        m_empty = false;
        const int first = m_cursor.blockNumber();
        m_cursor.insertFragment(QTextDocumentFragment(part.get()));
        // The part's first paragraph keeps its own alignment, and begins the page when asked.
        QTextBlockFormat format = part->begin().blockFormat();
        format.setPageBreakPolicy(newPage ? QTextFormat::PageBreak_AlwaysBefore : QTextFormat::PageBreak_Auto);
        QTextCursor(m_doc.findBlockByNumber(first)).setBlockFormat(format);
        return first;
    }

    // The contents list: a row per section, its page cell's block number each.
    std::vector<int> Contents(const std::vector<ReportSection>& sections)
    {
        RichDocument heading;
        CharFormat bold;
        bold.bold = true;
        bold.halfPoints = 32;
        heading.Append(u"Contents", bold);
        Append(heading, {}, true);
        m_cursor.movePosition(QTextCursor::End);
        m_cursor.insertBlock(QTextBlockFormat());
        QTextTableFormat format;
        format.setBorder(0);
        format.setCellPadding(4);
        format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        format.setColumnWidthConstraints(
            {QTextLength(QTextLength::PercentageLength, 85), QTextLength(QTextLength::PercentageLength, 15)});
        QTextTable* table = m_cursor.insertTable(static_cast<int>(sections.size()), 2, format);
        QTextCharFormat text;
        text.setFont(QFont(QStringLiteral("DejaVu Sans"), 12));
        std::vector<int> pageCells;
        for (int row = 0; row < static_cast<int>(sections.size()); ++row) {
            QTextCursor name = table->cellAt(row, 0).firstCursorPosition();
            name.insertText(Text(sections[static_cast<std::size_t>(row)].heading), text);
            QTextCursor page = table->cellAt(row, 1).firstCursorPosition();
            QTextBlockFormat right;
            right.setAlignment(Qt::AlignRight);
            page.setBlockFormat(right);
            page.insertText(QStringLiteral("0"), text);
            pageCells.push_back(page.blockNumber());
        }
        m_cursor.movePosition(QTextCursor::End);
        return pageCells;
    }

private:
    QTextDocument& m_doc;
    QTextCursor m_cursor;
    bool m_empty = true;
};

bool HoldsPicture(const RichDocument& doc, const std::string& picture)
{
    for (std::size_t p = 0; p < doc.ParagraphCount(); ++p)
        for (const RunView& run : doc.Runs(p))
            if (run.picture == picture)
                return true;
    return false;
}

} // namespace

QImage TimelinePicture(const Timeline& timeline, const LocaleFormats& formats, int width)
{
    const int rows = std::clamp(timeline.recordingRows, 1, 40);
    const QSize size(
        width, TimelineView::kAxisHeight + 4 * TimelineView::kLaneHeight + 8 + rows * std::max(4, 120 / rows) + 8);
    TimelineView view(formats);
    view.resize(size);
    view.SetTimeline(&timeline);
    view.scale().Fit();
    QImage picture(size * 2, QImage::Format_RGB32);
    picture.setDevicePixelRatio(2);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    view.Render(painter, size);
    return picture;
}

ComposedReport ComposeCaseReport(const CaseReport& report, const LocaleFormats& formats)
{
    auto doc = std::make_unique<QTextDocument>();
    Composer composer(*doc);
    composer.Append(report.cover, {}, false);
    const std::vector<int> pageCells = composer.Contents(report.sections);
    std::vector<int> headings;
    for (const ReportSection& section : report.sections) {
        bool first = true;
        for (const ReportPart& part : section.parts) {
            Pictures pictures;
            for (const auto& [name, file] : part.photos)
                if (auto photo = LoadPhoto(file, QSize(kPhotoSide, kPhotoSide), kDetail))
                    pictures.insert(Text(name), *photo);
            if (report.timeline && HoldsPicture(part.doc, kTimelinePicture))
                pictures.insert(kTimelinePicture, TimelinePicture(*report.timeline, formats, kPictureWidth));
            const int block = composer.Append(part.doc, pictures, part.newPage);
            if (first)
                headings.push_back(block);
            first = false;
        }
    }
    // Once laid out for the printer's page, each section's heading tells its page.
    auto paginate = [headings, pageCells](QTextDocument& laidOut, double pageHeight) {
        QAbstractTextDocumentLayout* layout = laidOut.documentLayout();
        std::vector<int> pages;
        for (const int block : headings)
            pages.push_back(
                static_cast<int>(layout->blockBoundingRect(laidOut.findBlockByNumber(block)).top() / pageHeight) + 1);
        for (std::size_t i = 0; i < pages.size() && i < pageCells.size(); ++i) {
            QTextCursor cell(laidOut.findBlockByNumber(pageCells[i]));
            cell.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            cell.insertText(QString::number(pages[i]));
        }
    };
    return {std::move(doc), std::move(paginate)};
}

PrintOutcome PrintCaseReport(
    const CaseReport& report, const LocaleFormats& formats, const PrinterChooser& chooser, QWidget* parent)
{
    const ComposedReport composed = ComposeCaseReport(report, formats);
    return PrintTextDocument(*composed.doc, kCaseReportName, kLogMargins, chooser, parent, composed.paginate);
}

} // namespace pellam
