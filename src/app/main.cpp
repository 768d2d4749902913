// pellam: the desktop review station. An event file named on the command line
// is opened as if chosen in "Open Incident" once start-up is done.
#include "workspace/ui/Main.h"
#include "workspace/ui/Prompter.h"

#include <QApplication>
#include <QDesktopServices>
#include <QTimer>
#include <QUrl>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Pellam");

    pellam::MessageBoxPrompter prompter;
    pellam::Main window(prompter);
    prompter.setParent(&window);
    QObject::connect(&window, &pellam::Main::openUrlRequested, [](const QString& path) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    });
    window.show();
    window.Form_Load();

    const QStringList args = QApplication::arguments();
    if (args.size() > 1) {
        const QString eventFile = args.at(1);
        // The title is set 200 ms after the splash; open right after that.
        QObject::connect(&window.AboutTIM(), &QTimer::timeout, &window,
                         [&window, eventFile] { window.OpenEventFile(eventFile); }, Qt::QueuedConnection);
    }
    return app.exec();
}
