// The search across the incident: typing searches after a pause, on a thread
// of its own, once the documents are in; a hit opens its document at it.
#include "workbench/ui/SearchWindow.h"
#include "app/IncidentOpenDriver.h"
#include "app/Main.h"
#include "attachments/ui/AttachFORM.h"
#include "conversations/ui/TextConvViewer.h"
#include "logs/ui/DocViewer.h"
#include "records/ui/RCEV.h"
#include "support/FakeShell.h"
#include "support/RecordingPrompter.h"
#include "support/VirtualWaveBackend.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTreeView>

using namespace pellam;

namespace {

QString Cell(const SearchWindow& w, int row, int column, int role = Qt::DisplayRole)
{
    return w.list()->model()->index(row, column).data(role).toString();
}

// The row of the first hit whose source column reads `source`.
int RowOf(const SearchWindow& w, const QString& source)
{
    for (int row = 0; row < w.list()->model()->rowCount(); ++row)
        if (Cell(w, row, SearchHitModel::Source) == source)
            return row;
    return -1;
}

} // namespace

class SearchWindowTest : public QObject {
    Q_OBJECT
private slots:
    // Typed while the documents are still being read, the text is searched
    // once they arrive, later changes after the pause. Enter on a hit opens
    // its document at it: the log viewer with the hit selected, the
    // conversation's tab, the person's sheet, the attachment's row.
    void searchesOnceTheDocumentsAreInAndAHitOpensItsDocument()
    {
        QTemporaryDir home;
        qputenv("HOME", home.path().toUtf8());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
        test::RecordingPrompter prompter;
        test::FakeShell shell;
        Main main(prompter, shell, std::make_unique<VirtualWaveBackend>());
        main.Form_Load(false);
        main.incident().Formats.ShortDate = "dd.MM.yyyy";
        main.incident().Formats.LongTime = "HH:mm:ss";
        main.OpenEventFile(PELLAM_BINARY_DIR "/sample/4711/4711.evt");
        main.findChild<QTimer*>("GetDirsTIM")->stop();

        main.Choose(MenuEntry::SearchEverything);
        auto* search = main.findChild<SearchWindow*>();
        QVERIFY(search);
        QAbstractItemModelTester tester(
            search->list()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        auto* pause = search->findChild<QTimer*>("SearchPauseTIM");
        QTest::keyClicks(search->field(), "RESIDENCE");
        QVERIFY(pause->isActive());
        pause->stop();
        search->Search();
        QVERIFY(search->status()->text().contains("being read"));

        QVERIFY(QTest::qWaitFor(
            [&] {
                main.opening().tick();
                return !main.Loading();
            },
            30000));
        QTRY_COMPARE(search->list()->model()->rowCount(), 5);
        QCOMPARE(search->status()->text(), "5 matches.");
        const int noc = RowOf(*search, "NOC Communications Log");
        QCOMPARE(Cell(*search, noc, SearchHitModel::Time), "05.12.2026 14:35:00");
        const QString line = Cell(*search, noc, SearchHitModel::Context);
        const QPoint hit
            = search->list()->model()->index(noc, SearchHitModel::Context).data(SearchHitModel::HitRole).toPoint();
        QCOMPARE(line.mid(hit.x(), hit.y()), "residence");

        const auto enterOn = [&](int row) {
            search->list()->setCurrentIndex(search->list()->model()->index(row, 0));
            QTest::keyClick(search->list(), Qt::Key_Return);
        };
        enterOn(RowOf(*search, "Record sheet: Subject 1"));
        QVERIFY(main.recordSheet() && main.recordSheet()->windowTitle().endsWith("Viewing Dale"));
        QCOMPARE(Cell(*search, 4, SearchHitModel::Source), "Attachments");
        enterOn(4); // on the attachments list's second line
        auto* attach = main.findChild<AttachFORM*>();
        QVERIFY(attach);
        QCOMPARE(attach->LV1()->currentIndex().row(), 1);

        search->field()->setText("Command Post");
        search->Search();
        QTRY_COMPARE(search->list()->model()->rowCount(), 3);
        enterOn(RowOf(*search, "Main Log"));
        auto* logs = main.findChild<DocViewer*>();
        QVERIFY(logs);
        QCOMPARE(logs->findChild<QTabWidget*>("SSTab1")->currentIndex(), 0);
        QCOMPARE(logs->logBox(0)->textCursor().selectedText(), "Command post");
        enterOn(RowOf(*search, "4711_TextCon1.doc"));
        auto* texts = main.findChild<TextConvViewer*>();
        QVERIFY(texts);
        QCOMPARE(texts->SSTab1()->currentIndex(), 1);
        QCOMPARE(texts->RTB(1)->textCursor().selectedText(), "command post");

        search->field()->setText("no such words");
        search->Search();
        QTRY_COMPARE(search->status()->text(), "No match found.");
        QVERIFY(prompter.messages.empty());
    }
};

QTEST_MAIN(SearchWindowTest)
#include "SearchWindowTest.moc"
