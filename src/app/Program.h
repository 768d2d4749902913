#pragma once
// How the desktop program runs its main window: the window is shown when
// start-up is over and then opens an event file named on the command line;
// programs start detached, and one that cannot start is reported; a start-up
// that failed ends the program.
#include <QStringList>

namespace pellam {

class Main;

// The exit status of a run whose start-up failed.
inline constexpr int kStartupFailedStatus = 1;

// Connects the window to the running application. `arguments` are the
// program's own (the first is the program's name).
void WireProgram(Main& window, const QStringList& arguments);

} // namespace pellam
