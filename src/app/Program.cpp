#include "app/Program.h"

#include "app/Main.h"

#include <QCoreApplication>

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
