#include "richtext/ui/TextDocumentBuilder.h"

#include <QTextImageFormat>
#include <QUrl>

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <utility>
#include <vector>

namespace pellam {
namespace {

Qt::Alignment ToQt(Alignment a)
{
    switch (a) {
    case Alignment::Center:
        return Qt::AlignHCenter;
    case Alignment::Right:
        return Qt::AlignRight;
    case Alignment::Justify:
        return Qt::AlignJustify;
    case Alignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

QTextCharFormat ToQt(const RichDocument& doc, const CharFormat& f)
{
    QTextCharFormat out;
    if (const FontEntry* font = doc.font(f.font); font && !font->name.empty())
        out.setFontFamilies({QString::fromStdString(font->name)});
    out.setFontPointSize(f.halfPoints / 2.0);
    out.setFontWeight(f.bold ? QFont::Bold : QFont::Normal);
    out.setFontItalic(f.italic);
    out.setFontUnderline(f.underline);
    const Colour c = doc.colour(f.colour);
    if (!c.automatic)
        out.setForeground(QColor(c.red, c.green, c.blue));
    return out;
}

} // namespace

void FillTextDocument(
    QTextDocument& target, const RichDocument& doc, const Pictures& pictures, std::size_t from, std::size_t to)
{
    target.clear();
    for (auto it = pictures.begin(); it != pictures.end(); ++it)
        target.addResource(QTextDocument::ImageResource, QUrl(it.key()), it.value());
    // A log has a handful of formats over many runs: each is made once.
    std::vector<std::pair<CharFormat, QTextCharFormat>> formats;
    const auto format = [&](const CharFormat& f) {
        for (const auto& [key, made] : formats)
            if (key == f)
                return made;
        QTextCharFormat made = ToQt(doc, f);
        if (formats.size() < 64) // a document of countless formats is not searched through
            formats.emplace_back(f, made);
        return made;
    };
    to = std::min(to, doc.PlainLength());
    from = std::min(from, to);
    QTextCursor cursor(&target);
    cursor.beginEditBlock();
    // A range that ends where a paragraph begins ends with the break before it.
    const std::size_t last
        = to >= doc.PlainLength() ? doc.ParagraphCount() - 1 : doc.ParagraphAt(to > from ? to - 1 : to);
    for (std::size_t p = doc.ParagraphAt(from); p <= last; ++p) {
        QTextBlockFormat block;
        block.setAlignment(ToQt(doc.ParagraphAlignment(p)));
        if (doc.ParagraphStart(p) <= from)
            cursor.setBlockFormat(block);
        else
            cursor.insertBlock(block);
        for (const RunView& run : doc.Runs(p, from, to)) {
            if (const QString name = QString::fromStdString(run.picture); pictures.contains(name)) {
                QTextImageFormat image;
                image.setName(name);
                cursor.insertImage(image);
                continue;
            }
            // Characters a text view would take as its own breaks stay
            // single characters: the document's positions count them so.
            QString text = QString::fromUtf16(run.text.data(), static_cast<qsizetype>(run.text.size()));
            text.replace(QChar::ParagraphSeparator, QChar::Space).replace(QChar::LineSeparator, QChar::Space);
            cursor.insertText(text, format(run.format));
        }
    }
    cursor.endEditBlock();
}

std::unique_ptr<QTextDocument> BuildTextDocument(const RichDocument& doc, QObject* parent, const Pictures& pictures)
{
    auto out = std::make_unique<QTextDocument>(parent);
    FillTextDocument(*out, doc, pictures);
    return out;
}

} // namespace pellam
