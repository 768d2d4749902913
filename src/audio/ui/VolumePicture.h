#pragma once
// The volume wedge of the playback panel (Vol): a triangle whose width and
// height grow with the volume, set by pressing or dragging the left button.
#include "audio/PanelRules.h"

#include <QWidget>

#include <optional>

namespace pellam {

class VolumePicture : public QWidget {
    Q_OBJECT
public:
    explicit VolumePicture(QWidget* parent = nullptr);

    // Clears the picture and draws the wedge for volume (DrawVolume).
    void DrawVolume(std::int32_t volume);
    std::optional<std::int32_t> Drawn() const { return m_volume; }
    double ToScaleX(double px) const;

signals:
    // Left button pressed or dragged at x, in scale units.
    void leftButtonAt(double x);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    std::optional<std::int32_t> m_volume;
};

} // namespace pellam
