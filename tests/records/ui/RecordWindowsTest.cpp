// The record list and record sheet windows on the sample incident: rows,
// sheets replacing each other, the photo and its notes, printing a sheet,
// and records files that cannot be loaded or are cut short.
#include "records/RecordSheet.h"
#include "records/ui/PhotoLoader.h"
#include "records/ui/RCEV.h"
#include "records/ui/RecordViewer.h"
#include "support/PdfOutput.h"
#include "support/RecordingPrompter.h"
#include "support/SampleIncident.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QPointer>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTreeView>
#include <QtTest>

#include <sys/stat.h>

using namespace pellam;

class RecordWindowsTest : public QObject {
    Q_OBJECT

    // The sheets print into `pdf`.
    RecordSource Source(const QString& pdf = {}) const
    {
        return {m_store, *m_persons, m_session->roles, PicPath(m_session->paths), "12/5/2026", test::PrintInto(pdf)};
    }
    // Opens the sheet of a list row and lets it build.
    RCEV* OpenSheet(RecordViewer& list, int row)
    {
        list.RowDoubleClicked(row);
        RCEV* sheet = list.sheet();
        if (sheet)
            sheet->GetNewPicTIMTick();
        return sheet;
    }

private slots:
    void init()
    {
        m_session = test::OpenSampleIncident();
        QVERIFY(m_session);
        m_store.SetRecordPath(m_session->RecordsPath);
        m_persons = std::make_unique<RecordTable>();
    }

    // One sheet at a time, with the photo or its note; a sheet prints on one page.
    void listOpensOneSheetAtATimeWithThePhotoOrItsNoteAndPrints()
    {
        test::RecordingPrompter prompter;
        RecordSheetSlot sheets;
        QTemporaryDir dir;
        RecordViewer list(Source(dir.filePath("sheet.pdf")), prompter, sheets);
        auto* model = static_cast<RecordListModel*>(list.LV1()->model());
        QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model->SetRows(std::vector(model->Rows())); // filled again, as it was
        QVERIFY(prompter.messages.empty());
        QCOMPARE(std::pair(list.LV1()->model()->rowCount(), list.LV1()->model()->index(0, 1).data().toString()),
            std::pair(8, QString("Dale Orrin")));

        QPointer<RCEV> subject = OpenSheet(list, 0);
        QVERIFY(subject);
        QCOMPARE(std::pair(subject->PhotoNote(), subject->RTB()->toolTip()), std::pair(std::string(), QString()));
        const QVariant photo = subject->RTB()->document()->resource(QTextDocument::ImageResource, QUrl(kSheetPhoto));
        QVERIFY(!photo.value<QImage>().isNull());
        subject->PrintThisRecord();
        const QString text = test::PdfText(dir.filePath("sheet.pdf"));
        QVERIFY2(
            text.contains("Subject Record Sheet for") && text.contains("PRIOR CONTACT HISTORY:"), qPrintable(text));
        QCOMPARE(test::PdfPages(dir.filePath("sheet.pdf")), 1);

        int other = -1; // the person whose photo file is no picture
        for (int r = 0; r < list.LV1()->model()->rowCount(); ++r)
            if (list.rows().Rows()[static_cast<std::size_t>(r)].Type == "Other")
                other = r;
        RCEV* second = OpenSheet(list, other);
        QTRY_VERIFY(subject.isNull()); // the first sheet was closed
        QVERIFY(second->PhotoNote() == kPhotoLoadError && second->RTB()->toPlainText().contains("(Photo Load Error)"));
        // The sheet's tooltip says why (the first sheet's is empty).
        QVERIFY2(second->RTB()->toolTip().endsWith("/Photo/4711_Other1.jpg: not a JPEG, PNG, GIF or BMP picture"),
            qPrintable(second->RTB()->toolTip()));
    }

    // Records that cannot be loaded are said to have failed and the list
    // closes; a records file cut inside a person lists every person it holds
    // and says where it ends.
    void recordsThatCannotBeLoadedOrAreCutShort()
    {
        const QString records = QString::fromStdString(m_store.RecordPath());
        m_store.SetRecordPath("/nonexistent/4711_Records.rmq");
        test::RecordingPrompter prompter;
        RecordSheetSlot sheets;
        QPointer<RecordViewer> list = new RecordViewer(Source(), prompter, sheets);
        QCOMPARE(prompter.messages.size(), std::size_t(1));
        QCOMPARE(std::pair(prompter.messages[0].text, prompter.messages[0].detail),
            std::pair(std::string("Failed to Load Record Data"),
                std::string("/nonexistent/4711_Records.rmq\nNo such file or directory")));
        QVERIFY(list->findChild<QTimer*>("UnloadTIM")->isActive());
        QTRY_VERIFY(list.isNull());

        QTemporaryDir dir;
        const QString cut = dir.filePath("4711_Records.rmq");
        QVERIFY(QFile::copy(records, cut) && QFile::resize(cut, QFile(cut).size() - 2000));
        m_store.SetRecordPath(cut.toStdString());
        prompter.messages.clear();
        RecordViewer cutList(Source(), prompter, sheets);
        QCOMPARE(std::pair(cutList.LV1()->model()->rowCount(), prompter.messages.size()), std::pair(8, std::size_t(1)));
        QVERIFY2(prompter.messages[0].text.starts_with("The records file ends inside slot "),
            prompter.messages[0].text.c_str());
        QCOMPARE(prompter.messages[0].detail, cut.toStdString());
    }

    // Wider than the box: scaled to its width and centred; narrower: drawn as it is.
    void photosAreScaledOnlyWhenWiderThanTheBox()
    {
        QTemporaryDir dir;
        QImage wide(4000, 2000, QImage::Format_RGB32);
        wide.fill(Qt::black);
        QVERIFY(wide.save(dir.filePath("wide.jpg")));
        QImage tall(50, 400, QImage::Format_RGB32);
        tall.fill(Qt::black);
        QVERIFY(tall.save(dir.filePath("tall.png")));
        const QImage w = *LoadPhoto(dir.filePath("wide.jpg").toStdString(), QSize(200, 200));
        // White above the 200 x 100 picture.
        QVERIFY(w.size() == QSize(200, 200) && QColor(w.pixel(100, 40)) == Qt::white && qGray(w.pixel(100, 60)) < 30);
        const QImage t = *LoadPhoto(dir.filePath("tall.png").toStdString(), QSize(200, 200));
        // Not scaled: cut by the box.
        QVERIFY(QColor(t.pixel(70, 100)) == Qt::white && qGray(t.pixel(100, 0)) < 30 && qGray(t.pixel(100, 199)) < 30);
        QVERIFY(!LoadPhoto(dir.filePath("missing.jpg").toStdString(), QSize(200, 200)));
        // A pipe named like a photo is refused without waiting for a writer.
        QCOMPARE(::mkfifo(dir.filePath("pipe.jpg").toLocal8Bit().constData(), 0600), 0);
        QVERIFY(!LoadPhoto(dir.filePath("pipe.jpg").toStdString(), QSize(200, 200)));
    }

private:
    std::unique_ptr<IncidentModel> m_session;
    clsRecord m_store; // the records store, as the main window keeps it
    std::unique_ptr<RecordTable> m_persons;
};

QTEST_MAIN(RecordWindowsTest)
#include "RecordWindowsTest.moc"
