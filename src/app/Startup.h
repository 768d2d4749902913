#pragma once
// The main window's start-up: the About window as splash screen, then the
// working folder; 200 ms after a splash that did its time, the second half
// (the title and the path label). A splash clicked away ends start-up
// without its second half. A working folder that cannot be made is said,
// and start-up fails.
#include "app/About.h"
#include "app/WindowSlot.h"
#include "base/FolderPath.h"

#include <QObject>

#include <string>

class QTimer;

namespace pellam {

class Prompter;
class Shell;

class Startup final : public QObject {
    Q_OBJECT
public:
    // `about` is the window's About slot; the working folder goes into `temp`.
    Startup(Shell& shell, Prompter& prompter, WindowSlot<About>& about, FolderPath& temp, QObject* parent);

    // With showSplash false the splash is skipped and start-up goes on at once.
    void Begin(bool showSplash);
    // Whether the splash was shown (the menu's About is then no splash).
    bool SplashShown() const { return m_splashShown; }
    // Shows About: the splash while `splashShown` is false.
    void ShowAbout(bool splashShown);

signals:
    // Start-up's second half is due.
    void secondHalf();
    // Start-up is over without its second half (the splash was clicked away).
    void ready();
    // The working folder could not be made; its message was shown.
    void failed();

private:
    bool EstablishWorkFolder();

    Shell& m_shell;
    Prompter& m_prompter;
    WindowSlot<About>& m_about;
    FolderPath& m_temp;
    QTimer* m_aboutTim;
    bool m_splashShown = false;
};

} // namespace pellam
