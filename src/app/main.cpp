// pellam: the desktop review station.
#include "workspace/ui/Main.h"
#include "workspace/ui/Prompter.h"

#include <QApplication>
#include <QDesktopServices>
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
    return app.exec();
}
