#pragma once
// Handing a file to the program the desktop associates with its type, or a
// folder to the file manager. Every window that opens evidence with the
// desktop goes through here, so a missing path and a refused open are told
// apart the same way everywhere and none passes silently.
#include "base/Message.h"

#include <QString>

#include <functional>

namespace pellam {

// Opens a path with the desktop; true when something took it. Windows take
// one as a hook; unset, QDesktopServices::openUrl on the path's file URL.
using DesktopHandler = std::function<bool(const QString& path)>;

enum class DesktopOpenOutcome { Opened, Missing, Refused };

DesktopOpenOutcome OpenWithDesktop(const QString& path, const DesktopHandler& handler = {});

// The message for a file or folder the desktop did not open, naming it so
// the operator can open it by hand.
Message DesktopRefusal(const QString& path, DesktopOpenOutcome outcome);

} // namespace pellam
