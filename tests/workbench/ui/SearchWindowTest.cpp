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
#include "support/SampleIncident.h"
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
    // Typed before the documents are read, the text is searched once they
    // arrive; every later change waits for the pause.
    void typingSearchesAfterThePauseOnceTheDocumentsAreIn()
    {
        LocaleFormats formats;
        formats.ShortDate = "dd.MM.yyyy";
        formats.LongTime = "HH:mm:ss";
        SearchWindow w({formats});
        QAbstractItemModelTester tester(w.list()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        auto* pause = w.findChild<QTimer*>("SearchPauseTIM");
        QVERIFY(pause);

        QTest::keyClicks(w.field(), "RESIDENCE");
        QVERIFY(pause->isActive());
        pause->stop();
        w.Search();
        QVERIFY(w.status()->text().contains("being read"));
        QCOMPARE(w.list()->model()->rowCount(), 0);

        const auto model = test::OpenSampleIncident();
        QVERIFY(model);
        w.SetTexts(std::make_shared<const IncidentTexts>(ReadIncidentTexts(*model)));
        QTRY_COMPARE(w.list()->model()->rowCount(), 5);
        QCOMPARE(w.status()->text(), "5 matches.");
        const int noc = RowOf(w, "NOC Communications Log");
        QVERIFY(noc >= 0);
        QCOMPARE(Cell(w, noc, SearchHitModel::Time), "05.12.2026 14:35:00");
        const QString line = Cell(w, noc, SearchHitModel::Context);
        const QPoint hit
            = w.list()->model()->index(noc, SearchHitModel::Context).data(SearchHitModel::HitRole).toPoint();
        QCOMPARE(line.mid(hit.x(), hit.y()), "residence");

        // The newest text wins; a text with no hit says so.
        QTest::keyClicks(w.field(), "x");
        QVERIFY(pause->isActive());
        pause->stop();
        w.Search();
        QTRY_COMPARE(w.status()->text(), "No match found.");
        QCOMPARE(w.list()->model()->rowCount(), 0);
    }

    // Enter on a hit opens its document at it: the log viewer with the hit
    // selected, the conversation's tab, the person's sheet, the attachment's row.
    void aHitOpensItsDocumentAtIt()
    {
        QTemporaryDir home;
        qputenv("HOME", home.path().toUtf8());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
        test::RecordingPrompter prompter;
        test::FakeShell shell;
        Main main(prompter, shell, std::make_unique<VirtualWaveBackend>());
        main.Form_Load(false);
        main.OpenEventFile(PELLAM_BINARY_DIR "/sample/4711/4711.evt");
        main.findChild<QTimer*>("GetDirsTIM")->stop();
        QVERIFY(QTest::qWaitFor(
            [&] {
                main.opening().tick();
                return !main.Loading();
            },
            30000));

        main.Choose(MenuEntry::SearchEverything);
        auto* search = main.findChild<SearchWindow*>();
        QVERIFY(search);
        search->field()->setText("Command Post");
        search->Search();
        QTRY_COMPARE(search->list()->model()->rowCount(), 3);

        const auto enterOn = [&](const QString& source) {
            const int row = RowOf(*search, source);
            QVERIFY2(row >= 0, qPrintable(source));
            search->list()->setCurrentIndex(search->list()->model()->index(row, 0));
            QTest::keyClick(search->list(), Qt::Key_Return);
        };
        enterOn("Main Log");
        auto* logs = main.findChild<DocViewer*>();
        QVERIFY(logs);
        QCOMPARE(logs->findChild<QTabWidget*>("SSTab1")->currentIndex(), 0);
        QCOMPARE(logs->logBox(0)->textCursor().selectedText(), "Command post");

        enterOn("4711_TextCon1.doc");
        auto* texts = main.findChild<TextConvViewer*>();
        QVERIFY(texts);
        QCOMPARE(texts->SSTab1()->currentIndex(), 1);
        QCOMPARE(texts->RTB(1)->textCursor().selectedText(), "command post");

        search->field()->setText("residence");
        search->Search();
        QTRY_COMPARE(search->list()->model()->rowCount(), 5);
        enterOn("Record sheet 0/1");
        QVERIFY(main.recordSheet());
        QVERIFY2(
            main.recordSheet()->windowTitle().endsWith("Viewing Dale"), qPrintable(main.recordSheet()->windowTitle()));
        const int last = search->list()->model()->rowCount() - 1;
        QCOMPARE(Cell(*search, last, SearchHitModel::Source), "Attachments");
        search->list()->setCurrentIndex(search->list()->model()->index(last, 0));
        QTest::keyClick(search->list(), Qt::Key_Return);
        auto* attach = main.findChild<AttachFORM*>();
        QVERIFY(attach);
        QCOMPARE(attach->LV1()->currentIndex().row(), 1);
        QVERIFY(prompter.messages.empty());
    }
};

QTEST_MAIN(SearchWindowTest)
#include "SearchWindowTest.moc"
