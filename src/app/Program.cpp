#include "app/Program.h"

#include "app/Main.h"
#include "base/Message.h"

#include <QCoreApplication>
#include <QProcess>

namespace pellam {
namespace {

// A program that could not be started, named, with the system's reason as the detail.
Message ProgramNotStarted(const QString& program, const QString& reason)
{
    return {"Start Error", "Unable to start the program " + program.toStdString() + ".", MessageIcon::Exclamation,
        program.toStdString() + "\n" + reason.toStdString()};
}

} // namespace

void WireProgram(Main& window, const QStringList& arguments)
{
    QObject::connect(
        &window, &Main::startProgramRequested, &window, [&window](const QString& program, const QString& folder) {
            QProcess process;
            process.setProgram(program);
            process.setWorkingDirectory(folder);
            if (!process.startDetached())
                window.prompter().Show(ProgramNotStarted(program, process.errorString()));
        });
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
