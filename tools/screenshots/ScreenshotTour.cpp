// pellam-screenshots OUT EVENTFILE: starts the review station as its own
// main() does, on the display it is given, opens EVENTFILE and walks through
// the program as an examiner would: the list, the menus, the details window,
// a recording playing, the statistics and CRC test, About, the log viewer,
// the record list and a sheet, the attachments and the text conversations.
// Every widget is reached by its object name and every step waits for what it
// needs to see; each scene's window is written to OUT/<scene>.png.
#include "app/DesktopShell.h"
#include "app/Main.h"
#include "app/MessageBoxPrompter.h"
#include "app/Program.h"
#include "app/Workbench.h"
#include "notes/ui/NotesSession.h"
#include "workbench/ui/IncidentTextsLoader.h"
#include "workbench/ui/SearchWindow.h"
#include "workbench/ui/TimelineWindow.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QWheelEvent>

#include <cstdio>
#include <functional>

namespace {

constexpr int kPatience = 30000; // ms a step may take on a slow machine

class Tour {
public:
    Tour(pellam::Main& main, QString out) : m_main(main), m_out(std::move(out)) { }

    // Every scene, in order; false when one of them could not be reached.
    bool Run()
    {
        bool ok = WaitFor("the recording list", [this] { return ListReady(); });
        ok = ok && Capture(&m_main, "main-list");
        ok = ok && Menus();
        ok = ok && Details();
        ok = ok && Playing();
        ok = ok && Transport();
        ok = ok && Notes();
        ok = ok && Statistics();
        ok = ok && AboutWindow();
        ok = ok && LogViewer();
        ok = ok && Records();
        ok = ok && Window("mnuAttach", "AttachFORM", "attachments");
        ok = ok && Window("mnuTXT", "TextConvViewer", "text-conversations");
        ok = ok && Timeline();
        ok = ok && Search();
        return ok;
    }

private:
    template<typename T>
    T* Find(QObject* in, const char* name) const
    {
        T* found = in->findChild<T*>(name);
        if (!found)
            std::fprintf(stderr, "screenshots: no %s\n", name);
        return found;
    }

    static QWidget* TopLevel(const char* name)
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == name && w->isVisible())
                return w;
        return nullptr;
    }

    bool WaitFor(const char* what, const std::function<bool()>& condition) const
    {
        if (QTest::qWaitFor(condition, kPatience))
            return true;
        std::fprintf(stderr, "screenshots: %s did not appear\n", what);
        return false;
    }

    bool Capture(QWidget* w, const QString& scene) const
    {
        const QString path = QDir(m_out).filePath(scene + ".png");
        if (!w->grab().save(path)) {
            std::fprintf(stderr, "screenshots: could not write %s\n", qPrintable(path));
            return false;
        }
        std::printf("  %s\n", qPrintable(path));
        return true;
    }

    QAbstractItemView* List() const { return m_main.findChild<QAbstractItemView*>("LV1"); }

    // Every recording listed and the pass over them done.
    bool ListReady() const
    {
        const auto* list = List();
        const auto* progress = m_main.findChild<QProgressBar*>("PB1");
        return m_main.isVisible() && list && list->model()->rowCount() > 0 && progress && !progress->isVisible();
    }

    QPoint RowCentre(int row) const
    {
        QAbstractItemView* list = List();
        return list->visualRect(list->model()->index(row, 0)).center();
    }

    // A menu shown beside the menu bar, and one of its submenus beside it.
    bool ShowMenu(QMenu* menu, QPoint at, const QString& scene) const
    {
        menu->popup(at);
        const bool shown = WaitFor("a menu", [menu] { return menu->isVisible(); });
        const bool captured = shown && Capture(menu, scene);
        return captured;
    }

    bool Menus() const
    {
        auto* menu = Find<QMenu>(&m_main, "mnuV");
        if (!menu)
            return false;
        const QPoint at = m_main.mapToGlobal(QPoint(0, 24));
        bool ok = ShowMenu(menu, at, "menu-1");
        for (auto [name, scene] : {std::pair {"mnu7100", "menu-view"}, std::pair {"mnuhPrnt", "menu-print"}}) {
            auto* sub = Find<QMenu>(&m_main, name);
            ok = ok && sub && ShowMenu(menu, at, QString(scene) + "-1");
            ok = ok
                && ShowMenu(sub, at + QPoint(menu->width(), menu->actionGeometry(sub->menuAction()).top()),
                    QString(scene) + "-2");
            if (sub)
                sub->hide();
        }
        menu->hide();
        return ok;
    }

    bool Details() const
    {
        QAbstractItemView* list = List();
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, RowCentre(0));
        bool ok = WaitFor("the details window", [] { return TopLevel("InfoS"); });
        // It opens by growing to its full size on its own timer.
        ok = ok && WaitFor("the details window grown", [] {
            const auto* growth = TopLevel("InfoS") ? TopLevel("InfoS")->findChild<QTimer*>("OpenItUpTIM") : nullptr;
            return growth && !growth->isActive();
        });
        ok = ok && Capture(TopLevel("InfoS"), "details");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowCentre(0));
        ok = ok && WaitFor("the details window closing", [] { return !TopLevel("InfoS"); });
        return ok;
    }

    QString Status() const
    {
        const auto* status = m_main.findChild<QLabel*>("NPLabel");
        return status ? status->text() : QString();
    }

    bool Playing() const
    {
        QAbstractItemView* list = List();
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, RowCentre(0));
        bool ok = WaitFor("playback", [this] { return Status().startsWith("Playing"); });
        // A few seconds in, so the cursor stands inside the waveform.
        const auto* time = m_main.findChild<QLabel*>("lblTime");
        const QString start = time ? time->text() : QString();
        ok = ok && WaitFor("the position moving", [&] { return time && time->text() != start; });
        QTest::qWait(1500);
        ok = ok && Capture(&m_main, "main-playing");
        // Another row current while it plays, then paused.
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        ok = ok && WaitFor("the next row", [list] { return list->currentIndex().row() == 1; });
        ok = ok && Capture(&m_main, "main-other-row-playing");
        auto* pause = Find<QAbstractButton>(&m_main, "PauseButton");
        if (pause)
            pause->click();
        ok = ok && pause && WaitFor("the pause", [this] { return !Status().startsWith("Playing"); });
        ok = ok && Capture(&m_main, "main-other-row-paused");
        return ok;
    }

    // The playback keys as an examiner uses them: faster, an A–B loop, and
    // the Playback menu that lists the keys.
    bool Transport() const
    {
        // The window made taller gives the waveform room (a resize redraws
        // it by reloading the recording, so it comes first).
        const QSize before = m_main.size();
        const auto restore = qScopeGuard([&] { m_main.resize(before); });
        m_main.resize(before.width(), before.height() + 200);
        QTest::qWait(600);
        QAbstractItemView* list = List();
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, RowCentre(0));
        bool ok = WaitFor("playback", [this] { return Status().startsWith("Playing"); });
        list->setFocus();
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(list, Qt::Key_BracketRight);
        const auto* time = m_main.findChild<QLabel*>("lblTime");
        const auto at = [time](const char* seconds) { return time && time->text().startsWith(seconds); };
        ok = ok && WaitFor("two seconds in", [&] { return at("0:02"); });
        QTest::keyClick(list, Qt::Key_L);
        ok = ok && WaitFor("five seconds in", [&] { return at("0:05"); });
        QTest::keyClick(list, Qt::Key_L);
        // Two wheel notches zoom in around the loop.
        if (auto* wave = Find<QWidget>(&m_main, "PlayGRFX")) {
            const QPointF point(wave->width() * 0.2, wave->height() / 2.0);
            for (int notch = 0; notch < 2; ++notch) {
                QWheelEvent wheel(point, wave->mapToGlobal(point), {}, {0, 120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
                QApplication::sendEvent(wave, &wheel);
            }
        }
        QTest::qWait(700);
        ok = ok && Capture(&m_main, "transport");
        auto* playback = Find<QMenu>(&m_main, "mnuPlayback");
        ok = ok && playback && ShowMenu(playback, m_main.mapToGlobal(QPoint(60, 24)), "menu-playback");
        if (playback)
            playback->hide();
        QTest::keyClick(list, Qt::Key_L);
        QTest::keyClick(list, Qt::Key_Backslash);
        if (auto* pause = Find<QAbstractButton>(&m_main, "PauseButton"))
            pause->click();
        return ok;
    }

    // Two marks made with M while a recording plays and one on a NOC entry,
    // the waveform's ticks and the Notes window.
    bool Notes() const
    {
        QTest::qWait(600); // the redraw after the last size change reloads the recording
        QAbstractItemView* list = List();
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, RowCentre(1));
        bool ok = WaitFor("playback", [this] { return Status().startsWith("Playing"); });
        list->setFocus();
        const auto* time = m_main.findChild<QLabel*>("lblTime");
        auto* field = Find<QLineEdit>(&m_main, "MarkField");
        const auto mark = [&](const char* at, const char* note, const char* scene) {
            ok = ok && field && WaitFor(at, [&] { return time && time->text().startsWith(at); });
            QTest::keyClick(list, Qt::Key_M);
            QTest::keyClicks(field, note);
            ok = ok && (!scene || Capture(&m_main, scene));
            QTest::keyClick(field, Qt::Key_Return);
            list->setFocus();
        };
        mark("0:03", "Subject mentions a second weapon", "mark-note");
        mark("0:08", "Negotiator asks for the phone to be kept on", nullptr);
        if (auto* pause = Find<QAbstractButton>(&m_main, "PauseButton"))
            pause->click();
        auto* workbench = m_main.findChild<pellam::Workbench*>();
        ok = ok && workbench && WaitFor("the documents read", [workbench] { return workbench->texts().texts() != nullptr; });
        if (ok) {
            for (const auto& doc : workbench->texts().texts()->documents)
                if (doc.source == "NocLog" && !doc.entries.empty())
                    workbench->notes().MarkPlace(pellam::MarkOn::Document, doc.source, doc.entries.front().textStart,
                        "Phone records requested \u2014 follow up with the carrier");
        }
        ok = ok && Capture(&m_main, "main-marks");
        ok = ok && Trigger("mnuNotes") && WaitFor("the Notes window", [] { return TopLevel("NotesWindow"); });
        if (QWidget* notes = TopLevel("NotesWindow")) {
            QTest::qWait(300);
            ok = ok && Capture(notes, "notes");
            notes->close();
        }
        return ok;
    }

    bool Trigger(const char* action) const
    {
        auto* a = Find<QAction>(&m_main, action);
        if (a)
            a->trigger();
        return a;
    }

    bool Statistics() const
    {
        bool ok = Trigger("mnuSTATS") && WaitFor("the statistics window", [] { return TopLevel("STATS"); });
        QWidget* stats = TopLevel("STATS");
        ok = ok && Capture(stats, "statistics");
        auto* tabs = ok ? Find<QTabWidget>(stats, "SSTab1") : nullptr;
        if (!tabs)
            return false;
        tabs->setCurrentIndex(1);
        auto* report = Find<QTextEdit>(stats, "RTB");
        ok = report && WaitFor("the CRC report", [&] { return report->toPlainText().contains("Test Completed."); });
        ok = ok && Capture(stats, "crc-analysis");
        stats->close();
        return ok;
    }

    bool AboutWindow() const
    {
        bool ok = Trigger("mnuAbout") && WaitFor("About", [] { return TopLevel("About"); });
        ok = ok && Capture(TopLevel("About"), "about");
        if (QWidget* about = TopLevel("About"))
            about->close();
        return ok;
    }

    bool LogViewer() const
    {
        bool ok = Trigger("mnuVML") && WaitFor("the log viewer", [] { return TopLevel("DocViewer"); });
        QWidget* viewer = TopLevel("DocViewer");
        ok = ok && Capture(viewer, "log-viewer");
        auto* print = ok ? Find<QMenu>(viewer, "mnuMainPrint") : nullptr;
        ok = ok && print && ShowMenu(print, viewer->mapToGlobal(QPoint(0, 24)), "log-viewer-print-menu");
        if (print)
            print->hide();
        if (viewer)
            viewer->close();
        return ok;
    }

    bool Records() const
    {
        bool ok = Trigger("mnuVREC") && WaitFor("the record list", [] { return TopLevel("RecordViewer"); });
        QWidget* records = TopLevel("RecordViewer");
        ok = ok && Capture(records, "record-list");
        auto* list = ok ? Find<QAbstractItemView>(records, "LV1") : nullptr;
        if (!list)
            return false;
        const QPoint first = list->visualRect(list->model()->index(0, 0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, first);
        ok = WaitFor("the record sheet", [] { return TopLevel("RCEV"); });
        // The photo arrives on the sheet's own timer.
        QTest::qWait(1000);
        ok = ok && Capture(TopLevel("RCEV"), "record-sheet");
        for (const char* name : {"RCEV", "RecordViewer"})
            if (QWidget* w = TopLevel(name))
                w->close();
        return ok;
    }

    // The timeline, once the incident's documents are read.
    bool Timeline() const
    {
        bool ok = Trigger("mnuTimeline") && WaitFor("the timeline", [] {
            auto* timeline = qobject_cast<pellam::TimelineWindow*>(TopLevel("TimelineWindow"));
            return timeline && timeline->timeline();
        });
        QWidget* timeline = TopLevel("TimelineWindow");
        if (ok)
            timeline->resize(1100, 460);
        ok = ok && WaitFor("the timeline's size", [timeline] { return timeline->width() == 1100; });
        ok = ok && Capture(timeline, "timeline");
        // The first half hour, where the recordings and their notations are.
        if (ok)
            qobject_cast<pellam::TimelineWindow*>(timeline)->view()->ZoomAt(7, pellam::TimelineView::kLabelWidth);
        ok = ok && Capture(timeline, "timeline-zoomed");
        if (timeline)
            timeline->close();
        return ok;
    }

    // One search across the incident's documents.
    bool Search() const
    {
        bool ok = Trigger("mnuSearchAll") && WaitFor("the search", [] { return TopLevel("SearchWindow"); });
        auto* search = qobject_cast<pellam::SearchWindow*>(TopLevel("SearchWindow"));
        if (ok) {
            search->resize(900, 420);
            search->field()->setText("Dale");
            search->Search();
        }
        ok = ok && WaitFor("the search's hits", [search] { return search->hits().rowCount() > 0; });
        ok = ok && Capture(search, "search");
        if (search)
            search->close();
        return ok;
    }

    bool Window(const char* action, const char* name, const char* scene) const
    {
        bool ok = Trigger(action) && WaitFor(scene, [name] { return TopLevel(name); });
        QTest::qWait(500);
        ok = ok && Capture(TopLevel(name), scene);
        if (QWidget* w = TopLevel(name))
            w->close();
        return ok;
    }

    pellam::Main& m_main;
    QString m_out;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: pellam-screenshots OUT EVENTFILE\n");
        return 2;
    }
    QDir().mkpath(args[1]);
    pellam::MessageBoxPrompter prompter;
    pellam::DesktopShell shell(prompter);
    pellam::Main window(prompter, shell);
    prompter.setParent(&window);
    shell.setWindow(&window);
    pellam::WireProgram(window, {args[0], args[2]});
    Tour tour(window, args[1]);
    int status = 1;
    QObject::connect(&window, &pellam::Main::ready, &app, [&] {
        QTimer::singleShot(0, &app, [&] {
            status = tour.Run() ? 0 : 1;
            QApplication::closeAllWindows();
            QCoreApplication::exit(status);
        });
    });
    window.Form_Load();
    app.exec();
    return status;
}
