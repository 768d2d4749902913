#pragma once
// How the desktop program runs its main window: the window is shown when
// start-up is over and then opens an event file named on the command line;
// a start-up that failed ends the program. And what is said before a program
// found in an evidence folder is handed to the desktop: this program never
// runs anything from the evidence itself.
#include "base/FolderPath.h"
#include "base/Message.h"

#include <QStringList>

#include <string>

namespace pellam {

class Main;
class Prompter;
class Shell;

// The exit status of a run whose start-up failed.
inline constexpr int kStartupFailedStatus = 1;

// Connects the window to the running application. `arguments` are the
// program's own (the first is the program's name).
void WireProgram(Main& window, const QStringList& arguments);

// "Vistrel": the sibling program of the evidence folder, when it is there and
// not running yet, is handed to the desktop once the operator agreed; never
// while this program runs as root.
void StartSiblingProgram(const FolderPath& evidence, Shell& shell, Prompter& prompter);

// The question asked before the evidence's program `path` goes to the desktop.
Message EvidenceProgramQuestion(const std::string& path);
// The refusal shown instead when this program runs as root: the evidence's
// program would get the administrator's rights.
Message EvidenceProgramRefusedAsRoot(const std::string& path);

} // namespace pellam
