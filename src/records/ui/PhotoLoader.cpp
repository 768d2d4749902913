#include "records/ui/PhotoLoader.h"

#include "base/FileDescriptor.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>

namespace pellam {

std::optional<QImage> LoadPhoto(const std::string& path, QSize box, int detail)
{
    // Only a regular file: a FIFO or device would block the window's thread.
    const auto fd = FileDescriptor::OpenForReading(path);
    if (!fd)
        return std::nullopt;
    QFile file;
    if (!file.open(fd.value().get(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return std::nullopt;
    QImageReader reader(&file);
    const QSize natural = reader.size();
    if (!reader.canRead() || !natural.isValid() || natural.isEmpty())
        return std::nullopt;
    QSize drawn = natural;
    if (natural.width() > box.width()) {
        const double scale = natural.width() > natural.height() ? double(box.width()) / natural.width()
                                                                : double(box.height()) / natural.height();
        drawn = QSize(std::max(1, qRound(natural.width() * scale)), std::max(1, qRound(natural.height() * scale)));
    }
    // Decoded at the size it is drawn in pixels, never above its own.
    if (natural.width() > drawn.width() * detail)
        reader.setScaledSize(drawn * detail);
    const QImage picture = reader.read();
    if (picture.isNull())
        return std::nullopt;
    QImage out(box * detail, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter painter(&out);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QPoint corner(box.width() / 2 - drawn.width() / 2, box.height() / 2 - drawn.height() / 2);
    painter.drawImage(QRect(corner * detail, drawn * detail), picture);
    painter.end();
    out.setDevicePixelRatio(detail);
    return out;
}

} // namespace pellam
