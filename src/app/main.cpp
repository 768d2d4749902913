// pellam: the desktop review station. The About window shows alone as the
// splash screen; the main window appears when start-up is over. An event file
// named on the command line is then opened as if chosen in "Open Incident".
#include "app/Main.h"
#include "app/MessageBoxPrompter.h"
#include "base/PathText.h"

#include <QApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Pellam");

    pellam::MessageBoxPrompter prompter;
    pellam::Main window(prompter);
    prompter.setParent(&window);
    QObject::connect(&window, &pellam::Main::openUrlRequested,
        [](const QString& path) { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); });
    QObject::connect(&window, &pellam::Main::startProgramRequested,
        [](const QString& program, const QString& folder) { QProcess::startDetached(program, {}, folder); });

    const QStringList args = QApplication::arguments();
    // Taken as absolute now, against the folder the program was started in.
    const QString eventFile
        = args.size() > 1 ? QString::fromStdString(pellam::MakeAbsolute(args.at(1).toStdString())) : QString();
    QObject::connect(&window, &pellam::Main::ready, &window, [&window, eventFile] {
        window.show();
        if (!eventFile.isEmpty())
            window.OpenEventFile(eventFile);
    });
    window.Form_Load();
    return app.exec();
}
