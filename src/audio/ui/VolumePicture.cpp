#include "audio/ui/VolumePicture.h"

#include <QMouseEvent>
#include <QPainter>

namespace pellam {

VolumePicture::VolumePicture(QWidget* parent) : QWidget(parent)
{
    setObjectName("Vol");
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
}

void VolumePicture::DrawVolume(std::int32_t volume)
{
    m_volume = volume;
    update();
}

double VolumePicture::ToScaleX(double px) const
{
    return width() > 0 ? px * kVolumeScaleWidth / width() : 0;
}

void VolumePicture::paintEvent(QPaintEvent*)
{
    if (!m_volume)
        return;
    QPainter p(this);
    p.setPen(QPen(QColor(0, 255, 255), 3));
    const double sx = width() / kVolumeScaleWidth;
    const double sy = height() / kVolumeScaleHeight;
    const VolumeWedge w = WedgeFor(*m_volume);
    for (const WedgeLine& l : {w.slope, w.edge, w.base})
        p.drawLine(QPointF(l.x1 * sx, l.y1 * sy), QPointF(l.x2 * sx, l.y2 * sy));
}

void VolumePicture::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit leftButtonAt(ToScaleX(event->position().x()));
}

void VolumePicture::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        emit leftButtonAt(ToScaleX(event->position().x()));
}

} // namespace pellam
