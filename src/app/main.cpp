// pellam: the desktop review station. The About window shows alone as the
// splash screen; the main window appears when start-up is over. An event file
// named on the command line is then opened as if chosen in "Open Incident".
#include "app/Main.h"
#include "app/MessageBoxPrompter.h"
#include "app/Program.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Pellam");
    // The installed desktop entry and icon theme name the windows; run from
    // the build folder there is no such icon and the windows go without.
    QApplication::setDesktopFileName("com.norviktech.Pellam");
    QApplication::setWindowIcon(QIcon::fromTheme("com.norviktech.Pellam"));

    pellam::MessageBoxPrompter prompter;
    pellam::Main window(prompter);
    prompter.setParent(&window);
    pellam::WireProgram(window, QApplication::arguments());
    window.Form_Load();
    return app.exec();
}
