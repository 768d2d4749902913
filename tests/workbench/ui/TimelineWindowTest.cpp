// The timeline window: where each event is drawn and what a click on it asks
// for, zoom and pan by wheel, keys, dragging and the scroll bar, printing and
// the picture, and, through the main window on the sound server, a notation's
// mark and a recording's bar playing from the right second.
#include "workbench/ui/TimelineWindow.h"
#include "app/IncidentOpenDriver.h"
#include "app/Main.h"
#include "audio/ui/LoadSequenceDriver.h"
#include "audio/ui/PlaybackPanel.h"
#include "conversations/ui/TextConvViewer.h"
#include "logs/ui/DocViewer.h"
#include "support/FakeShell.h"
#include "support/FinishOpening.h"
#include "support/PdfOutput.h"
#include "support/RecordingPrompter.h"
#include "workbench/ui/IncidentTextsLoader.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace pellam;

namespace {

const LocalSeconds kStart = MakeLocalSeconds(2026, 12, 5, 14, 0, 0).value();

TimelineEvent Event(LocalSeconds start, TimelineLane lane, int minute, int second = 0)
{
    TimelineEvent e;
    e.lane = lane;
    e.time = start + minute * 60 + second;
    return e;
}

// An hour: two overlapping recordings and one of unknown length, a notation
// on the first, a plain Main Log entry, one entry of each other lane, and an
// entry without a date.
std::shared_ptr<Timeline> HourOfIncident(LocalSeconds start = kStart)
{
    auto t = std::make_shared<Timeline>();
    t->start = start;
    t->end = start + 3600;
    t->recordingRows = 2;
    auto& ev = t->events;
    ev.push_back(Event(start, TimelineLane::Recording, 5)); // 0
    ev.back().recording = "a.mp3";
    ev.back().duration = 120;
    ev.push_back(Event(start, TimelineLane::Main, 5, 30)); // 1: the notation, 30 s into a.mp3
    ev.back().recording = "a.mp3";
    ev.back().offset = 30;
    ev.back().source = "MainLog";
    ev.back().position = 100;
    ev.back().text = "Notation: door opened";
    ev.push_back(Event(start, TimelineLane::Recording, 6)); // 2: overlaps a.mp3
    ev.back().recording = "b.mp3";
    ev.back().duration = 60;
    ev.back().row = 1;
    ev.push_back(Event(start, TimelineLane::Main, 10)); // 3
    ev.back().source = "MainLog";
    ev.back().position = 200;
    ev.push_back(Event(start, TimelineLane::Noc, 20)); // 4
    ev.back().source = "NocLog";
    ev.back().position = 50;
    ev.push_back(Event(start, TimelineLane::Recording, 30)); // 5: length unknown
    ev.back().recording = "c.mp3";
    ev.push_back(Event(start, TimelineLane::Admin, 40)); // 6
    ev.back().source = "AdminLog";
    ev.back().position = 10;
    ev.push_back(Event(start, TimelineLane::Text, 50)); // 7
    ev.back().source = "4711_TextCon1.doc";
    ev.back().position = 36;
    ev.push_back(TimelineEvent {}); // 8: no date
    return t;
}

} // namespace

class TimelineWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_prompter.messages.clear();
        m_window = std::make_unique<TimelineWindow>(
            TimelineWindowInput {nullptr, LocaleFormats {}, "4711", {}, {}}, m_prompter);
        m_window->resize(1096, 420);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup() { m_window.reset(); }

    // Every dated event is drawn in its lane and found again where it is
    // drawn; overlapping recordings stack; the notation shows on its bar too.
    void eachEventHasItsPlaceInItsLane()
    {
        // Opened before the documents are read, the window says so.
        QVERIFY(m_window->findChild<QLabel*>()->isVisible() && !m_window->findChild<QPushButton*>("Fit")->isEnabled());
        m_window->SetTimeline(HourOfIncident());
        QVERIFY(!m_window->findChild<QLabel*>()->isVisible());
        TimelineView* view = m_window->view();
        const auto& events = m_window->timeline()->events;
        for (std::size_t i = 0; i + 1 < events.size(); ++i) {
            const auto at = view->PointOf(i);
            QVERIFY2(at && view->LaneRect(events[i].lane).contains(*at), qPrintable(QString::number(i)));
            QCOMPARE(view->HitAt(*at), (TimelineHit {i, false}));
        }
        QVERIFY(!view->PointOf(8));
        QVERIFY(view->PointOf(2)->y() > view->PointOf(0)->y());
        const QPointF onBar = *view->PointOf(1, true);
        QCOMPARE(onBar.y(), view->PointOf(0)->y());
        QCOMPARE(view->HitAt(onBar), (TimelineHit {1, true}));
        QVERIFY(!view->PointOf(3, true));
        // Nothing between the marks, nothing on the labels.
        QVERIFY(!view->HitAt(QPointF(view->PointOf(4)->x() + 20, view->PointOf(4)->y())));
        QVERIFY(!view->HitAt(QPointF(10, view->PointOf(4)->y())));
        QCOMPARE(view->Describe(1), QString("12/5/2026 2:05:30 PM\nNotation: door opened"));
        QCOMPARE(view->Describe(5), QString("12/5/2026 2:30:00 PM\nc.mp3 (length unknown)"));

        // The playhead runs along the playing recording's bar.
        m_window->SetPlayhead("a.mp3", 30000);
        QCOMPARE(view->PlayheadX(), onBar.x());
        m_window->SetPlayhead("a.mp3", std::nullopt);
        QVERIFY(!view->PlayheadX());

        // Clicks: a notation plays with its offset, a bar from the moment
        // clicked, a log entry or a conversation line opens at its position.
        QSignalSpy notes(m_window.get(), &TimelineWindow::notationActivated);
        QSignalSpy bars(m_window.get(), &TimelineWindow::recordingActivated);
        QSignalSpy entries(m_window.get(), &TimelineWindow::entryActivated);
        for (const QPointF at : {onBar, *view->PointOf(1), *view->PointOf(0), *view->PointOf(5), *view->PointOf(3),
                 *view->PointOf(4), *view->PointOf(7)})
            QTest::mouseClick(view, Qt::LeftButton, {}, at.toPoint());
        QCOMPARE(QList<QVariantList>(notes), (QList<QVariantList> {{"a.mp3", 30}, {"a.mp3", 30}}));
        QCOMPARE(bars.size(), 2);
        QVERIFY2(std::abs(bars[0][1].toInt() - 60) <= 2, qPrintable(bars[0][1].toString())); // the bar's middle
        QCOMPARE(bars[1], (QVariantList {"c.mp3", 0}));
        QCOMPARE(QList<QVariantList>(entries),
            (QList<QVariantList> {{"MainLog", 200}, {"NocLog", 50}, {"4711_TextCon1.doc", 36}}));

        // Documents without a single date: the window says so and has nothing to click.
        auto undated = std::make_shared<Timeline>();
        undated->events.push_back(TimelineEvent {});
        m_window->SetTimeline(undated);
        QVERIFY(m_window->findChild<QLabel*>()->text().startsWith("Nothing in the incident's documents"));
        QVERIFY(!view->PointOf(0) && !view->HitAt(QPointF(300, 150)));
    }

    void zoomAndPanByWheelKeysDragAndScrollBar()
    {
        m_window->SetTimeline(HourOfIncident());
        TimelineView* view = m_window->view();
        const TimelineScale& s = view->scale();
        QScrollBar* bar = m_window->scrollBar();
        QCOMPARE(bar->maximum(), 0);
        // A notch of the wheel keeps the moment under the pointer where it is.
        const double plot = view->width() - TimelineView::kLabelWidth;
        const QPointF pointer(TimelineView::kLabelWidth + 250, 100);
        const double before = s.TimeAt(250, plot);
        QWheelEvent wheel(
            pointer, view->mapToGlobal(pointer), {}, {0, 120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &wheel);
        QCOMPARE(s.Seconds(), 3600 / 1.25);
        QCOMPARE(s.TimeAt(250, plot), before);
        QVERIFY(bar->maximum() > 0 && bar->value() > 0);

        QTest::keyClick(view, Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(s.Seconds(), 3600 / 2.5);
        QTest::keyClick(view, Qt::Key_Minus, Qt::ControlModifier);
        QTest::keyClick(view, Qt::Key_Minus, Qt::ControlModifier);
        QVERIFY(s.Whole());

        // Deep in, dragging 100 pixels to the left shows 100 pixels later.
        for (int i = 0; i < 60; ++i)
            view->ZoomAt(1.25, pointer.x());
        QCOMPARE(s.Seconds(), TimelineScale::kNarrowestSeconds);
        const double first = s.First();
        QTest::mousePress(view, Qt::LeftButton, {}, QPoint(600, 200));
        QTest::mouseMove(view, QPoint(550, 200));
        QTest::mouseMove(view, QPoint(500, 200));
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(500, 200));
        QCOMPARE(s.First(), first + 100 * TimelineScale::kNarrowestSeconds / plot);
        QCOMPARE(bar->value(), static_cast<int>(std::lround((s.First() - static_cast<double>(kStart)) * 10)));
        bar->setValue(0);
        QCOMPARE(s.First(), static_cast<double>(kStart));
        bar->setValue(bar->maximum());
        QCOMPARE(s.Last(), static_cast<double>(kStart + 3600));
        QTest::mouseClick(m_window->findChild<QPushButton*>("Fit"), Qt::LeftButton);
        QVERIFY(s.Whole() && bar->maximum() == 0);
    }

    void printsAndSavesWhatIsShown()
    {
        m_window->SetTimeline(HourOfIncident());
        QTemporaryDir out;
        TimelineWindowInput input {HourOfIncident(), LocaleFormats {}, "4711", test::PrintInto(out.filePath("t.pdf")),
            [&](const QString& suggested) { return suggested == "Timeline-4711.png" ? out.filePath(suggested) : ""; }};
        TimelineWindow window(std::move(input), m_prompter);
        window.resize(900, 400);
        window.view()->ZoomAt(2, TimelineView::kLabelWidth); // 14:00:00 to 14:30:00
        QCOMPARE(window.Print(), PrintOutcome::Printed);
        QCOMPARE(test::PdfPages(out.filePath("t.pdf")), 1);
        QVERIFY(test::PdfText(out.filePath("t.pdf"))
                    .contains("Timeline of Incident 4711: 12/5/2026 2:00:00 PM to 12/5/2026 2:30:00 PM"));
        window.ExportPng();
        const QImage saved(out.filePath("Timeline-4711.png"));
        QCOMPARE(saved.size(), window.view()->size());
        QCOMPARE(saved.pixel(window.view()->PointOf(0)->toPoint()),
            window.Picture().pixel(window.view()->PointOf(0)->toPoint()));
        // A file that cannot be written is told, with the system's reason.
        TimelineWindow refused(
            {HourOfIncident(), {}, "4711", {}, [](const QString&) { return "/proc/no.png"; }}, m_prompter);
        refused.ExportPng();
        QCOMPARE(m_prompter.messages.size(), size_t(1));
        QVERIFY(m_prompter.messages[0].detail.find("/proc/no.png") != std::string::npos);
    }

    // Through the main window on the sound server: the timeline fills in once
    // the documents are read; a notation's mark plays its recording from ten
    // seconds before the notation, a bar from the moment clicked, and the
    // playhead follows; a log entry's mark opens the log viewer on it.
    void marksPlayAndOpenThroughTheMainWindow()
    {
        if (qEnvironmentVariableIsEmpty("PELLAM_SOUND_SERVER"))
            QSKIP("no sound server: start it with scripts/lib/services.sh (start_pulse)");
        m_window.reset();
        QTemporaryDir home;
        qputenv("HOME", home.path().toUtf8());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
        test::FakeShell shell;
        Main w(m_prompter, shell);
        QVERIFY(test::LoadAndOpen(w, PELLAM_BINARY_DIR "/sample/4711/4711.evt"));
        w.Choose(MenuEntry::Timeline);
        auto* window = w.findChild<TimelineWindow*>();
        QVERIFY(window);
        QTRY_VERIFY_WITH_TIMEOUT(window->timeline(), 20000);

        // The notation "Command post approves" was made 12 s into the first
        // sub-recording: its mark plays from 2 s.
        const auto texts = w.findChild<IncidentTextsLoader*>()->texts();
        const IncidentDocument& mainLog = *std::find_if(texts->documents.begin(), texts->documents.end(),
            [](const IncidentDocument& d) { return d.source == "MainLog"; });
        const auto note = static_cast<std::int64_t>(mainLog.text.find(u"Command post approves"));
        const DatedEntry* entry = EntryHolding(mainLog.entries, note);
        QVERIFY(entry);
        // A timeline made by hand: the window's rules, not the model's.
        auto t = HourOfIncident(entry->time - 330); // the notation at 5:30, its bar from 5:00
        t->events[0].recording = t->events[1].recording = "4711_Sub01_1441.mp3";
        t->events[1].offset = 12;
        t->events[3].position = entry->position;
        window->SetTimeline(t);
        TimelineView* view = window->view();
        const double plot = view->width() - TimelineView::kLabelWidth;
        const auto barStart = static_cast<double>(*t->events[0].time);
        view->ZoomAt(60, TimelineView::kLabelWidth + view->scale().XOf(barStart, plot)); // a minute across
        QTest::mouseClick(view, Qt::LeftButton, {}, view->PointOf(1)->toPoint());
        QTRY_COMPARE_WITH_TIMEOUT(w.panel().NPLabel()->text(), QString("Playing 4711_Sub01_1441.mp3"), 20000);
        QVERIFY2(w.player().Position() >= 2000 && w.player().Position() < 4000,
            qPrintable(QString::number(w.player().Position())));
        QTRY_VERIFY(view->PlayheadX());

        // A click 5 s into the bar plays from 5 s, without a lead-in.
        const double x = view->scale().XOf(barStart + 5.5, plot);
        QTest::mouseClick(
            view, Qt::LeftButton, {}, QPoint(TimelineView::kLabelWidth + int(x), int(view->PointOf(0)->y())));
        QTRY_VERIFY(w.player().Position() >= 5000 && w.player().Position() < 7000);

        window->Fit();
        QTest::mouseClick(view, Qt::LeftButton, {}, view->PointOf(3)->toPoint());
        auto* viewer = w.findChild<DocViewer*>();
        QVERIFY(viewer && w.LogViewerOpen());
        QVERIFY2(viewer->logBox(0)->textCursor().selectedText().contains("Command post approves"),
            qPrintable(viewer->logBox(0)->textCursor().selectedText()));
        // A conversation line's mark opens that conversation's tab with the line selected.
        QTest::mouseClick(view, Qt::LeftButton, {}, view->PointOf(7)->toPoint());
        auto* conversations = w.findChild<TextConvViewer*>();
        QVERIFY(conversations && conversations->SSTab1()->currentIndex() == 1);
        const QString line = conversations->RTB(1)->textCursor().selectedText();
        QVERIFY2(line.startsWith("14:55 Tomas Orrin: I am on my way."), qPrintable(line));
        QVERIFY(m_prompter.messages.empty());
        w.close();
    }

private:
    test::RecordingPrompter m_prompter;
    std::unique_ptr<TimelineWindow> m_window;
};

QTEST_MAIN(TimelineWindowTest)
#include "TimelineWindowTest.moc"
