#pragma once
// The main window: it lives for the whole run, owns the program-wide Session,
// holds the recording list and the playback panel, and its one menu opens the
// incident and every other window.
#include "workspace/MenuState.h"
#include "workspace/Session.h"
#include "workspace/ui/Prompter.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <map>

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QTreeWidget;

namespace pellam {

class About;

class Main : public QMainWindow {
    Q_OBJECT
public:
    explicit Main(Prompter& prompter, QWidget* parent = nullptr);
    ~Main() override;

    Session& session() { return m_session; }
    Prompter& prompter() { return m_prompter; }

    // Start-up, first half: splash, then the working folder. With
    // showSplash false (tests) the splash is skipped and start-up goes on at once.
    void Form_Load(bool showSplash = true);
    // Start-up, second half (200 ms after the splash closed).
    void ContinueLoad();

    // Shared procedures other windows call.
    void CloseAllWindows();
    void KillInfo();
    static bool SetTopMost(QWidget* window);

    // The menu entries as shown, rendered from session().menus.
    QAction* action(MenuEntry e) const { return m_actions.at(e); }
    void ApplyMenus();

    QTreeWidget* LV1() const { return m_lv1; }
    QProgressBar* PB1() const { return m_pb1; }
    QLabel* NPLabel() const { return m_npLabel; }
    QLabel* Label2() const { return m_label2; }
    QLabel* Label5() const { return m_label5; }
    QWidget* Frame1() const { return m_frame1; }
    QTimer& AboutTIM() { return m_aboutTim; }
    About* aboutWindow() const;

    // Menu actions.
    void mnuAbout();
    void mnuSB();  // "Vistrel"
    void mnuIU();  // "Intel Upload Files"
    void mnuVREC(); // "Record Viewer"

signals:
    // A folder or file is to be opened with the desktop (file manager, program).
    void openUrlRequested(const QString& path);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenu();
    void BuildControls();
    void Form_Resize();
    void Form_Unload();
    void ShowAbout(bool splashShown);
    void ShowMessage(const Message& m) { m_prompter.Show(m); }

    Session m_session;
    Prompter& m_prompter;
    bool m_splashShown = false;

    QMenu* m_menu = nullptr;
    std::map<MenuEntry, QAction*> m_actions;
    QTreeWidget* m_lv1 = nullptr;
    QProgressBar* m_pb1 = nullptr;
    QWidget* m_frame1 = nullptr;
    QLabel* m_npLabel = nullptr;
    QLabel* m_label2 = nullptr;
    QLabel* m_label5 = nullptr;

    QTimer m_aboutTim;
    QPointer<About> m_about;
};

} // namespace pellam
