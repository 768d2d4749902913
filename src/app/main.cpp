// pellam: the desktop review station. The About window shows alone as the
// splash screen; the main window appears when start-up is over. An event file
// named on the command line is then opened as if chosen in "Open Incident".
//
// SIGTERM, SIGINT and SIGHUP end the program as closing its windows does:
// every window closes and the main window and its load sequence are
// destroyed, deleting this copy's decoded recording. The exit status is 128
// plus the signal's number, as a shell reports a program ended by it.
#include "app/Main.h"
#include "app/DesktopShell.h"
#include "app/MessageBoxPrompter.h"
#include "app/Program.h"

#include <QApplication>
#include <QIcon>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The signal handler only writes the signal's number into this pipe; the
// event loop reads it and quits.
int g_signalPipe[2] = {-1, -1};

void OnQuitSignal(int number)
{
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
    errno = saved;
}

// Catches the three signals from the very start; until the event loop runs
// they wait in the pipe. Each handler is used once: a second signal while the
// program is ending ends it at once.
void CatchQuitSignals()
{
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction action { };
    action.sa_handler = OnQuitSignal;
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (const int number : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(number, &action, nullptr);
}

// The event loop turns a caught signal into the end of the program.
void QuitOnCaughtSignals(QApplication& app)
{
    if (g_signalPipe[0] < 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
        unsigned char number = 0;
        if (::read(g_signalPipe[0], &number, 1) != 1)
            return;
        QApplication::closeAllWindows();
        QCoreApplication::exit(128 + number);
    });
}

} // namespace

int main(int argc, char** argv)
{
    CatchQuitSignals();
    QApplication app(argc, argv);
    QuitOnCaughtSignals(app);
    QApplication::setApplicationName("Pellam");
    // The installed desktop entry and icon theme name the windows; run from
    // the build folder there is no such icon and the windows go without.
    QApplication::setDesktopFileName("com.norviktech.Pellam");
    QApplication::setWindowIcon(QIcon::fromTheme("com.norviktech.Pellam"));

    pellam::MessageBoxPrompter prompter;
    pellam::DesktopShell shell(prompter);
    pellam::Main window(prompter, shell);
    prompter.setParent(&window);
    shell.setWindow(&window);
    pellam::WireProgram(window, QApplication::arguments());
    window.Form_Load();
    return app.exec();
}
