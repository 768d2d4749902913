#pragma once
// A label for the menu bar's corner: it asks for room for its whole text but
// makes do with less, eliding the middle of a long path and offering the
// whole text as its tooltip. text() stays the whole text.
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QResizeEvent>
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

// The path label ("Label2") and the diagnostic label ("Label5") in the menu
// bar's free right-hand part, so the list, the panel and the progress bar
// take the whole client area the layout rules give out.
class CornerLabels final : public QWidget {
    Q_OBJECT
public:
    explicit CornerLabels(QMenuBar* bar) : QWidget(bar), m_bar(bar)
    {
        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(0, 0, 8, 0);
        row->setSpacing(24);
        for (auto [label, name] : {std::pair {&m_path, "Label2"}, std::pair {&m_photo, "Label5"}}) {
            *label = new CornerLabel(this);
            (*label)->setObjectName(name);
            row->addWidget(*label, 1);
        }
        bar->setCornerWidget(this, Qt::TopRightCorner);
    }

    void SetPath(const QString& text) { Set(m_path, text); }
    void SetPhoto(const QString& text) { Set(m_photo, text); }

private:
    void Set(QLabel* label, const QString& text)
    {
        if (label->text() == text)
            return;
        label->setText(text);
        // The menu bar places its corner widget only when it is itself resized.
        QResizeEvent resize(m_bar->size(), m_bar->size());
        QCoreApplication::sendEvent(m_bar, &resize);
    }

    QMenuBar* m_bar;
    CornerLabel* m_path = nullptr;
    CornerLabel* m_photo = nullptr;
};

} // namespace pellam
