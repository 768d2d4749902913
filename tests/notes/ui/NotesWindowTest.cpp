// The examiner's notes through the main window on the sample incident: M on a
// playing recording, a log entry's mark, the Notes window (filter, sort, go
// to a place, edit and delete with undo), the waveform's and the timeline's
// marks, another copy's marks after a refresh, and a damaged store.
#include "notes/ui/NotesWindow.h"
#include "app/Main.h"
#include "app/RecordingListController.h"
#include "app/Workbench.h"
#include "audio/ui/LoadSequenceDriver.h"
#include "audio/ui/PlaybackPanel.h"
#include "checksums/Sha256.h"
#include "logs/ui/DocViewer.h"
#include "notes/IncidentNotes.h"
#include "records/ui/RCEV.h"
#include "support/FakeShell.h"
#include "support/FinishOpening.h"
#include "support/RecordingPrompter.h"
#include "support/VirtualWaveBackend.h"
#include "workbench/ui/IncidentTextsLoader.h"
#include "workbench/ui/TimelineView.h"
#include "workbench/ui/TimelineWindow.h"
#include "workspace/WorkFolder.h"
#include "workspace/ui/RecordingListView.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

#include <fstream>

using namespace pellam;

namespace {

const char* const kEvent = PELLAM_BINARY_DIR "/sample/4711/4711.evt";

QString Cell(const NotesWindow& w, int row, int column)
{
    return w.list()->model()->index(row, column).data().toString();
}

// The store the program makes for the sample incident.
std::string SampleStorePath()
{
    IncidentModel model;
    model.newLoad.EventFile = kEvent;
    model.CaseNumber = "4711";
    return NotesPathOf(model, OwnFolderPath()).value();
}

} // namespace

class NotesWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        qputenv("HOME", m_home.path().toUtf8());
        qputenv("PELLAM_EXAMINER", "Sgt. Ilse Varga");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_home.path());
    }

    void marksAreMadeFoundEditedAndDeletedWithUndo()
    {
        test::RecordingPrompter prompter;
        test::FakeShell shell;
        Main w(prompter, shell, std::make_unique<VirtualWaveBackend>());
        QVERIFY(test::LoadAndOpen(w, kEvent));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        // M while a recording plays: the note field at the player's position;
        // Escape drops the mark, Enter keeps it.
        auto* list = w.list().view();
        list->setFocus();
        list->setCurrentIndex(list->model()->index(1, 0));
        QTest::keyClick(list, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(w.panel().NPLabel()->text().startsWith("Playing "), 20000);
        const std::string recording = w.loader().sequence().LoadedMP3;
        w.player().SetPosition(2250);
        QLineEdit* field = w.panel().MarkField();
        list->setFocus();
        QTest::keyClick(list, Qt::Key_M);
        QVERIFY(field->isVisible() && field->hasFocus());
        QTest::keyClicks(field, "dropped");
        QTest::keyClick(field, Qt::Key_Escape);
        QVERIFY(!field->isVisible());
        w.panel().MarkButton()->click();
        QTest::keyClicks(field, "subject mentions a second weapon");
        QTest::keyClick(field, Qt::Key_Return);
        QVERIFY(!field->isVisible() && list->hasFocus()); // Space plays on
        NotesSession& notes = w.findChild<Workbench*>()->notes();
        QCOMPARE(notes.marks().size(), std::size_t {1});
        const Mark heard = notes.marks()[0];
        QCOMPARE(std::tuple(heard.recording, heard.offsetMs, heard.note, heard.examiner),
            std::tuple(recording, std::int64_t {2250}, std::string("subject mentions a second weapon"),
                std::string("Sgt. Ilse Varga")));
        QTRY_VERIFY(notes.SumsRead());
        QVERIFY(!notes.Stale(notes.marks()[0]));
        QVERIFY(!notes.marks()[0].recordingSha256.empty());

        // On the waveform: a press a pixel or two beside the mark seeks to it exactly.
        WaveformPicture* wave = w.panel().PlayGRFX();
        QCOMPARE(wave->Ticks().size(), std::size_t {1});
        const double beside = wave->ToScaleX(wave->ToPixelX(2250) + 2);
        w.panel().GraphMouseDown(beside);
        w.panel().GraphMouseUp(beside);
        QCOMPARE(w.panel().CurrentPosition, 2250.0f);

        // A log entry's mark from the log viewer's context menu, its note asked for.
        w.Choose(MenuEntry::LogFileViewer);
        auto* viewer = w.findChild<DocViewer*>();
        QVERIFY(viewer);
        const int at = static_cast<int>(viewer->logBox(0)->toPlainText().indexOf("Command post approves"));
        QVERIFY(at > 0);
        viewer->RequestMark(0, at);
        QInputDialog* ask = nullptr;
        QTRY_VERIFY((ask = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())));
        ask->setTextValue("NOC: phone records requested, follow up");
        ask->accept();
        QCOMPARE(notes.marks().size(), std::size_t {2});
        QCOMPARE(notes.marks()[1].source, std::string("MainLog"));

        w.Choose(MenuEntry::Notes);
        auto* window = w.findChild<NotesWindow*>();
        QVERIFY(window);
        QAbstractItemModelTester tester(
            window->list()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(window->status()->text(), "2 marks");
        QTest::keyClicks(window->filter(), "WEAPON");
        QCOMPARE(window->list()->model()->rowCount(), 1);
        QCOMPARE(window->status()->text(), "2 marks, 1 shown");
        window->filter()->clear();
        // By note: "NOC…" first.
        window->list()->sortByColumn(MarkTableModel::Note, Qt::AscendingOrder);
        QVERIFY(Cell(*window, 0, MarkTableModel::Note).startsWith("NOC"));
        QCOMPARE(Cell(*window, 0, MarkTableModel::Place),
            "Main Log, position " + QString::number(notes.marks()[1].position.value()));
        QCOMPARE(Cell(*window, 1, MarkTableModel::Place), QString::fromStdString(recording) + " at 0:02.250");

        // Enter on a mark goes to its place: the log entry selected.
        viewer->logBox(0)->moveCursor(QTextCursor::Start);
        window->Activate(window->list()->model()->index(0, 0));
        QVERIFY(viewer->logBox(0)->textCursor().selectedText().contains("Command post approves"));

        // The timeline shows both marks on their lanes.
        w.Choose(MenuEntry::Timeline);
        auto* timeline = w.findChild<TimelineWindow*>();
        QVERIFY(timeline);
        QTRY_COMPARE_WITH_TIMEOUT(timeline->view()->notes().size(), std::size_t {2}, 20000);
        QCOMPARE(timeline->view()->notes()[1].lane, TimelineLane::Main);

        // Edit in place, undo, redo; delete, undo brings the mark back.
        QAbstractItemModel* model = window->list()->model();
        model->setData(model->index(1, MarkTableModel::Note), "a knife, not a gun");
        QTRY_COMPARE(Cell(*window, 1, MarkTableModel::Note), "a knife, not a gun");
        QVERIFY(notes.marks()[0].changedMs >= notes.marks()[0].createdMs);
        window->findChild<QAction*>("actUndo")->trigger();
        QCOMPARE(Cell(*window, 1, MarkTableModel::Note), "subject mentions a second weapon");
        window->findChild<QAction*>("actRedo")->trigger();
        QCOMPARE(Cell(*window, 1, MarkTableModel::Note), "a knife, not a gun");
        window->list()->selectRow(0);
        window->findChild<QAction*>("actDeleteMark")->trigger();
        QCOMPARE(model->rowCount(), 1);
        QCOMPARE(timeline->view()->notes().size(), std::size_t {1});
        window->findChild<QAction*>("actUndo")->trigger();
        QCOMPARE(model->rowCount(), 2);
        QCOMPARE(notes.marks()[1].id, std::int64_t {2});

        // Another copy of the program adds a mark: seen after a refresh.
        {
            auto other = std::move(NoteStore::Open(SampleStorePath())).value();
            Mark person;
            person.on = MarkOn::Person;
            person.source = "Record:0:1";
            person.note = "check his alibi";
            QVERIFY(other->Add(person));
        }
        QCOMPARE(model->rowCount(), 2);
        window->findChild<QAction*>("actRefresh")->trigger();
        QCOMPARE(model->rowCount(), 3);
        window->list()->sortByColumn(MarkTableModel::Made, Qt::AscendingOrder); // made at 0: the first
        QCOMPARE(Cell(*window, 0, MarkTableModel::Place), "Record sheet: Subject 1");
        // Its place is the person's record sheet, whose context menu marks the person again.
        window->Activate(window->list()->model()->index(0, 0));
        QVERIFY(w.recordSheet());
        emit w.recordSheet()->markRequested(0, 1);
        QTRY_VERIFY((ask = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())));
        ask->setTextValue("seen at the door");
        ask->accept();
        QCOMPARE(model->rowCount(), 4);
        QCOMPARE(notes.marks().back().source, PersonSource(0, 1));
        QVERIFY2(prompter.messages.empty(), prompter.messages.empty() ? "" : prompter.messages[0].text.c_str());
        w.close();
    }

    // A damaged store: one message, the review goes on without notes (the
    // Notes window says why, M beeps) and the file stays as it was.
    void aDamagedStoreLeavesTheReviewWithoutNotes()
    {
        const std::string path = SampleStorePath();
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path) << std::string(4096, 'x');
        test::RecordingPrompter prompter;
        test::FakeShell shell;
        Main w(prompter, shell, std::make_unique<VirtualWaveBackend>());
        QVERIFY(test::LoadAndOpen(w, kEvent));
        QCOMPARE(prompter.messages.size(), std::size_t {1});
        QVERIFY(prompter.messages[0].text.starts_with("This incident's notes store is damaged"));
        w.Choose(MenuEntry::Notes);
        auto* window = w.findChild<NotesWindow*>();
        QVERIFY(window && window->status()->text().contains("damaged"));
        w.findChild<Workbench*>()->MarkRecording("4711_Rec01_1433.mp3", 1000, "lost");
        QCOMPARE(prompter.beeps, 1);
        std::ifstream in(path);
        QCOMPARE(std::string(std::istreambuf_iterator<char>(in), {}), std::string(4096, 'x'));
        w.close();
    }

private:
    QTemporaryDir m_home;
};

QTEST_MAIN(NotesWindowTest)
#include "NotesWindowTest.moc"
