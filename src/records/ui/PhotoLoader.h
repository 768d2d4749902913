#pragma once
// Loads a person's photo into a picture of the photo box's size: centred,
// scaled down keeping its proportions when it is wider than the box, drawn at
// its own size otherwise. A large photo is decoded at the reduced size, so
// its memory never grows with the camera's resolution.
#include <QImage>
#include <QSize>

#include <optional>
#include <string>

namespace pellam {

// Nothing when the file (its path's exact bytes) is not a regular file or
// cannot be read as a picture. It is read through a descriptor of our own,
// which keeps its access time. With `detail` above 1 the picture has that
// many times the pixels for print (its device pixel ratio), laid out alike.
std::optional<QImage> LoadPhoto(const std::string& path, QSize box, int detail = 1);

} // namespace pellam
