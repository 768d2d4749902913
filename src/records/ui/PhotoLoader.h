#pragma once
// Loads a person's photo into a picture of the photo box's size: centred,
// scaled down keeping its proportions when it is wider than the box, drawn at
// its own size otherwise. A large photo is decoded at the reduced size, so
// its memory never grows with the camera's resolution.
#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

namespace pellam {

// Nothing when the file cannot be read as a picture.
std::optional<QImage> LoadPhoto(const QString& path, QSize box);

} // namespace pellam
