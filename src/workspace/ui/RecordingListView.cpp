#include "workspace/ui/RecordingListView.h"

#include <QPainter>

namespace pellam {

RecordingListView::RecordingListView(QWidget* parent) : QTreeView(parent)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void RecordingListView::SetEmptyHint(const QString& hint)
{
    if (hint == m_hint)
        return;
    m_hint = hint;
    viewport()->update();
}

void RecordingListView::paintEvent(QPaintEvent* event)
{
    QTreeView::paintEvent(event);
    if (m_hint.isEmpty() || (model() && model()->rowCount() > 0))
        return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(viewport()->rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, m_hint);
}

} // namespace pellam
