#pragma once
// The pictures of the panel's Play, Pause and Stop buttons, drawn at run time.
#include <QIcon>

namespace pellam {

QIcon PlayIcon();
QIcon PauseIcon();
QIcon StopIcon();

} // namespace pellam
