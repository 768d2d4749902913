#include "app/Startup.h"

#include "app/Shell.h"
#include "base/Prompter.h"

#include <QApplication>
#include <QTimer>

namespace pellam {

Startup::Startup(Shell& shell, Prompter& prompter, WindowSlot<About>& about, FolderPath& temp, QObject* parent)
    : QObject(parent), m_shell(shell), m_prompter(prompter), m_about(about), m_temp(temp), m_aboutTim(new QTimer(this))
{
    m_aboutTim->setObjectName("AboutTIM");
    m_aboutTim->setInterval(200);
    m_aboutTim->setSingleShot(true);
    connect(m_aboutTim, &QTimer::timeout, this, &Startup::secondHalf);
}

bool Startup::EstablishWorkFolder()
{
    if (auto made = m_shell.MakeWorkFolder()) {
        m_temp = std::move(made).value();
        return true;
    }
    m_prompter.Show({"Error",
        std::string("Failed to establish a Temporary Folder on this PC. ") + kLineBreak
            + "Perhaps the security levels are too high on this PC.",
        MessageIcon::Exclamation});
    emit failed();
    return false;
}

void Startup::ShowAbout(bool splashShown)
{
    auto* about = new About(splashShown, qobject_cast<QWidget*>(parent()));
    about->setAttribute(Qt::WA_DeleteOnClose);
    if (!splashShown) {
        m_splashShown = true;
        about->setWindowModality(Qt::ApplicationModal);
    }
    m_about.Replace(about);
}

void Startup::Begin(bool showSplash)
{
    m_splashShown = false;
    if (!showSplash) {
        m_splashShown = true;
        if (EstablishWorkFolder())
            emit secondHalf();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ShowAbout(false);
    // The splash is modal: start-up goes on when it closes, whether its time
    // ran out or it was clicked away. Only a splash that did its time starts
    // the timer that finishes start-up.
    About* splash = m_about.get();
    connect(splash, &About::splashFinished, m_aboutTim, qOverload<>(&QTimer::start));
    connect(splash, &QDialog::finished, this, [this] {
        QApplication::restoreOverrideCursor();
        if (!EstablishWorkFolder())
            m_aboutTim->stop();
        else if (!m_aboutTim->isActive())
            emit ready(); // clicked away: start-up ends without its second half
    });
}

} // namespace pellam
