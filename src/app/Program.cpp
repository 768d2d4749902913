#include "app/Program.h"

#include "app/Main.h"

#include <QCoreApplication>
#include <QProcess>

namespace pellam {

void WireProgram(Main& window, const QStringList& arguments)
{
    QObject::connect(&window, &Main::startProgramRequested,
        [](const QString& program, const QString& folder) { QProcess::startDetached(program, {}, folder); });
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
