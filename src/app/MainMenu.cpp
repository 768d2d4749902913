#include "app/MainMenu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace pellam {

MainMenu::MainMenu(QMenuBar* bar) : QObject(bar), m_bar(bar)
{
    // "File": what the examiner takes away from the incident, outside its folder.
    QMenu* file = bar->addMenu("File");
    file->setObjectName("mnuFile");
    connect(file, &QMenu::aboutToShow, this, &MainMenu::opening);
    Add(file, MenuEntry::ExportHashManifest, "mnuExportManifest");
    Add(file, MenuEntry::CaseReport, "mnuCaseReport", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R));

    QMenu* menu = bar->addMenu("Menu");
    menu->setObjectName("mnuV");
    connect(menu, &QMenu::aboutToShow, this, &MainMenu::opening);

    Add(menu, MenuEntry::OpenIncident, "mnuOpen", QKeySequence(Qt::CTRL | Qt::Key_O));
    Add(menu, MenuEntry::OpenAnotherIncident, "mnuOpenAnother", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    menu->addSeparator();
    QMenu* view = menu->addMenu("View");
    view->setObjectName("mnu7100");
    Add(view, MenuEntry::LogFileViewer, "mnuVML", QKeySequence(Qt::CTRL | Qt::Key_L));
    Add(view, MenuEntry::TextConversations, "mnuTXT");
    Add(view, MenuEntry::RecordViewer, "mnuVREC");
    Add(view, MenuEntry::Vistrel, "mnuSB");
    Add(view, MenuEntry::Attachments, "mnuAttach");
    Add(view, MenuEntry::IntelUploadFiles, "mnuIU");
    view->addSeparator();
    Add(view, MenuEntry::Statistics, "mnuSTATS");
    view->addSeparator();
    Add(view, MenuEntry::Timeline, "mnuTimeline", QKeySequence(Qt::CTRL | Qt::Key_T));
    Add(view, MenuEntry::SearchEverything, "mnuSearchAll", QKeySequence(Qt::CTRL | Qt::Key_F));
    Add(view, MenuEntry::Notes, "mnuNotes", QKeySequence(Qt::CTRL | Qt::Key_E));

    QMenu* print = menu->addMenu("Print");
    print->setObjectName("mnuhPrnt");
    m_actions[MenuEntry::Print] = print->menuAction();
    Add(print, MenuEntry::PrintMainLog, "mnuPML", QKeySequence(Qt::CTRL | Qt::Key_P));
    Add(print, MenuEntry::PrintNolLog, "mnuPNL");
    Add(print, MenuEntry::PrintAdminLog, "mnuPAL");
    Add(print, MenuEntry::PrintNppReport, "mnuPNPP");

    Add(menu, MenuEntry::About, "mnuAbout", QKeySequence(Qt::Key_F1));
    menu->addSeparator();
    Add(menu, MenuEntry::Exit, "mnuEXIT", QKeySequence(Qt::CTRL | Qt::Key_Q));
}

QAction* MainMenu::Add(QMenu* menu, MenuEntry e, const char* name, const QKeySequence& keys)
{
    QAction* a = menu->addAction(MenuState::Caption(e));
    a->setObjectName(name);
    a->setShortcut(keys); // shown beside the caption; the caption itself is unchanged
    m_actions[e] = a;
    connect(a, &QAction::triggered, this, [this, e] { emit triggered(e); });
    return a;
}

void MainMenu::AddPlayback(const std::vector<QAction*>& actions)
{
    QMenu* playback = m_bar->addMenu("Playback");
    playback->setObjectName("mnuPlayback");
    connect(playback, &QMenu::aboutToShow, this, &MainMenu::opening);
    for (QAction* a : actions) {
        if (a)
            playback->addAction(a);
        else
            playback->addSeparator();
    }
}

void MainMenu::Apply(const MenuState& menus)
{
    for (auto& [entry, act] : m_actions) {
        act->setEnabled(menus[entry].enabled);
        act->setVisible(menus[entry].visible);
    }
}

} // namespace pellam
