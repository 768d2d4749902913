#include "app/Program.h"

#include "app/Main.h"
#include "app/Shell.h"
#include "base/PathText.h"
#include "workspace/ServKILL.h"

#include <QCoreApplication>

#include <sys/stat.h>

namespace pellam {

Message EvidenceProgramQuestion(const std::string& path)
{
    return {"Vistrel",
        "This is a program taken from the evidence folder:" + std::string(kLineBreak) + path + kLineBreak + kLineBreak
            + "It will be handed to the desktop, which may run it with your rights. Open it?",
        MessageIcon::Question, path};
}

Message EvidenceProgramRefusedAsRoot(const std::string& path)
{
    return {"Vistrel",
        "This is a program taken from the evidence folder:" + std::string(kLineBreak) + path + kLineBreak + kLineBreak
            + "Pellam runs as root, and the program would run with root's rights: it is not opened. "
              "Run Pellam as an ordinary user to open it.",
        MessageIcon::Exclamation, path};
}

// The sibling program is evidence like any other file: it is never run by
// us (with our rights, in the evidence folder), only handed to the desktop.
void StartSiblingProgram(const FolderPath& evidence, Shell& shell, Prompter& prompter)
{
    const std::string base = evidence.Join("Vistrel/Vistrel");
    std::string program;
    for (const std::string& candidate : {base + ".exe", base})
        if (struct stat st {}; ::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            program = candidate;
    if (program.empty())
        return;
    for (const char* name : {"Vistrel.exe", "Vistrel"}) {
        const auto running = ProcessRunning(name);
        if (!running)
            return prompter.Show(ProcessRunningFailedMessage(running.error()));
        if (running.value())
            return; // already running: no second copy
    }
    if (shell.RunningAsRoot())
        return prompter.Show(EvidenceProgramRefusedAsRoot(program));
    if (prompter.Ask(EvidenceProgramQuestion(program)))
        shell.StartProgram(program);
}

void WireProgram(Main& window, const QStringList& arguments)
{
    // Queued: the failure may come before the event loop runs.
    QObject::connect(
        &window, &Main::startupFailed, qApp, [] { QCoreApplication::exit(kStartupFailedStatus); },
        Qt::QueuedConnection);
    const QString eventFile = arguments.size() > 1 ? arguments.at(1) : QString();
    QObject::connect(&window, &Main::ready, &window, [&window, eventFile] {
        window.show();
        if (!eventFile.isEmpty())
            window.OpenFromCommandLine(eventFile);
    });
}

} // namespace pellam
