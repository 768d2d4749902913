#pragma once
// A label for the menu bar's corner: it asks for room for its whole text but
// makes do with less, eliding the middle of a long path and offering the
// whole text as its tooltip. text() stays the whole text.
#include <QLabel>
#include <QPainter>
#include <QStyle>

namespace pellam {

class CornerLabel final : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    QSize minimumSizeHint() const override
    {
        return {fontMetrics().horizontalAdvance(QStringLiteral("/\u2026/")), QLabel::minimumSizeHint().height()};
    }
    bool Elided() const { return Shown() != text(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        style()->drawItemText(
            &painter, contentsRect(), int(alignment()), palette(), isEnabled(), Shown(), foregroundRole());
    }
    void resizeEvent(QResizeEvent* event) override
    {
        QLabel::resizeEvent(event);
        setToolTip(Elided() ? text() : QString());
    }

private:
    QString Shown() const { return fontMetrics().elidedText(text(), Qt::ElideMiddle, contentsRect().width()); }
};

} // namespace pellam
