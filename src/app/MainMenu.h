#pragma once
// The main window's menus: "File" with what the examiner takes away from the
// incident, and "Menu" with its View and Print submenus, each entry named as
// the incident system names it, with its shortcut beside the caption. It shows the menu states it is given and reports
// the entry chosen.
#include "app/MenuState.h"

#include <QKeySequence>
#include <QObject>

#include <map>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;

namespace pellam {

class MainMenu final : public QObject {
    Q_OBJECT
public:
    explicit MainMenu(QMenuBar* bar);

    QAction* action(MenuEntry e) const { return m_actions.at(e); }
    // A "Playback" menu of these actions (nullptr: a separator), after "Menu".
    void AddPlayback(const std::vector<QAction*>& actions);
    // Enables and shows each entry as `menus` says.
    void Apply(const MenuState& menus);

signals:
    void triggered(MenuEntry entry);
    // The menu is about to open.
    void opening();

private:
    QAction* Add(QMenu* menu, MenuEntry e, const char* name, const QKeySequence& keys = {});

    QMenuBar* m_bar;
    std::map<MenuEntry, QAction*> m_actions;
};

} // namespace pellam
