#include "audio/ui/ButtonIcons.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygonF>

#include <functional>

namespace pellam {
namespace {

constexpr int kSide = 16;

QIcon Draw(const std::function<void(QPainter&)>& shape)
{
    QPixmap pm(kSide, kSide);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 20, 20));
    shape(p);
    p.end();
    return QIcon(pm); // the disabled look is derived from it
}

} // namespace

QIcon PlayIcon()
{
    return Draw([](QPainter& p) { p.drawPolygon(QPolygonF({QPointF(4, 2), QPointF(14, 8), QPointF(4, 14)})); });
}

QIcon PauseIcon()
{
    return Draw([](QPainter& p) {
        p.drawRect(QRectF(3, 2, 4, 12));
        p.drawRect(QRectF(9, 2, 4, 12));
    });
}

QIcon StopIcon()
{
    return Draw([](QPainter& p) { p.drawRect(QRectF(3, 3, 10, 10)); });
}

} // namespace pellam
