// The recording list's model and sort proxy: rows arrive and change without
// the model being reset, every row keeps its recording number through
// sorting, and a header sort is ascending by text without regard to case.
#include "workspace/ui/RecordingTableModel.h"
#include "workspace/ui/TextSortProxy.h"
#include "workspace/ui/modLVSort.h"

#include <QAbstractItemModelTester>
#include <QFont>
#include <QSignalSpy>
#include <QTest>

using namespace pellam;

namespace {

Mp3Record Row(const char* name, const char* size, const char* duration = "00:01")
{
    return Mp3Record {"AA BB CC DD", name, duration, "12/5/2026 3:00:00 PM", size};
}

QStringList Column(const QAbstractItemModel& m, int column, int role = Qt::DisplayRole)
{
    QStringList texts;
    for (int r = 0; r < m.rowCount(); ++r)
        texts << m.index(r, column).data(role).toString();
    return texts;
}

} // namespace

class RecordingTableModelTest : public QObject {
    Q_OBJECT
private slots:
    void syncInsertsAndChangesOnlyWhatDiffers()
    {
        RecordingTableModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

        std::vector<Mp3Record> rows {Row("a.mp3", "1 KB"), Row("b.mp3", "2 KB")};
        model.Sync(rows);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(std::pair(inserted.at(0).at(1).toInt(), inserted.at(0).at(2).toInt()), std::pair(0, 1));

        rows[1].Duration = "??:??";
        rows.push_back(Row("c.mp3", "3 KB"));
        model.Sync(rows);
        QCOMPARE(changed.count(), 1); // only the changed cell of row 2
        QCOMPARE(std::pair(changed.at(0).at(0).toModelIndex(), changed.at(0).at(1).toModelIndex()),
            std::pair(model.index(1, 4), model.index(1, 4)));
        QCOMPARE(std::pair(inserted.count(), inserted.at(1).at(1).toInt()), std::pair(qsizetype(2), 2));
        QCOMPARE(Column(model, 4), (QStringList {"00:01", "??:??", "00:01"}));
        QCOMPARE(Column(model, 0, RecordingTableModel::RecordingNumberRole), (QStringList {"1", "2", "3"}));

        model.Sync(rows); // nothing new: nothing reported
        QCOMPARE(changed.count() + inserted.count(), 3);

        // The loaded recording's row is bold, and only that row.
        model.SetLoadedNumber(2);
        QCOMPARE(changed.count(), 2);
        const auto bold
            = [&](int row, int column) { return model.index(row, column).data(Qt::FontRole).value<QFont>().bold(); };
        QVERIFY(bold(1, 3) && !bold(0, 0));
        model.SetLoadedNumber(3);
        QVERIFY(!bold(1, 0) && bold(2, 0));

        // A recording cut short says so over its whole row.
        rows[0].DurationNote = "cut short: 62 of 105 frames";
        model.Sync(rows);
        QCOMPARE(std::pair(changed.last().at(0).toModelIndex(), changed.last().at(1).toModelIndex()),
            std::pair(model.index(0, 0), model.index(0, 4)));
        QCOMPARE(Column(model, 2, Qt::ToolTipRole), (QStringList {"cut short: 62 of 105 frames", "", ""}));

        model.Sync({}); // a new incident clears the list
        QCOMPARE(
            std::tuple(removed.count(), model.rowCount(), reset.count()), std::tuple(qsizetype(1), 0, qsizetype(0)));
    }

    // Every click sorts ascending; sizes compare as texts; rows arriving later
    // take their place; the recording number travels with the row.
    void headerSortIsAscendingByTextWithoutRegardToCase()
    {
        RecordingTableModel model;
        TextSortProxy sorted;
        sorted.setSourceModel(&model);
        QAbstractItemModelTester tester(&sorted, QAbstractItemModelTester::FailureReportingMode::QtTest);
        std::vector<Mp3Record> rows {Row("b", "9 KB"), Row("A", "9 KB"), Row("a2", "10 KB"), Row("B1", "10 KB")};
        model.Sync(rows);
        QCOMPARE(Column(sorted, 0), (QStringList {"b", "A", "a2", "B1"})); // recording order until a click

        for (int click = 0; click < 2; ++click) { // a second click does not reverse
            QVERIFY(SortListView(&sorted, 1, 0, 0).ok());
            QCOMPARE(Column(sorted, 0), (QStringList {"A", "a2", "b", "B1"}));
        }
        QCOMPARE(Column(sorted, 0, RecordingTableModel::RecordingNumberRole), (QStringList {"2", "3", "1", "4"}));

        rows.push_back(Row("a10", "1 KB"));
        model.Sync(rows);
        QCOMPARE(Column(sorted, 0), (QStringList {"A", "a10", "a2", "b", "B1"}));

        QVERIFY(SortListView(&sorted, 2, 0, 0).ok());
        QCOMPARE(Column(sorted, 1), (QStringList {"1 KB", "10 KB", "10 KB", "9 KB", "9 KB"}));

        for (auto [column, kind] : {std::pair {6, 0L}, std::pair {0, 0L}, std::pair {1, 1L}}) {
            const auto bad = SortListView(&sorted, column, 0, kind);
            QVERIFY(!bad.ok());
            QCOMPARE(bad.error(), (Message {"", "ERROR IN SORT ROUTINE:\r\n9\tSubscript out of range"}));
        }
        QCOMPARE(Column(sorted, 1), (QStringList {"1 KB", "10 KB", "10 KB", "9 KB", "9 KB"}));
    }
};

QTEST_MAIN(RecordingTableModelTest)
#include "RecordingTableModelTest.moc"
