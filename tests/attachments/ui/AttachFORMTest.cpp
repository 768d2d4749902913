// The attachments window on the sample incident: the list in the list file's
// order, and examining through a recording URL handler, so no program starts.
#include "attachments/ui/AttachFORM.h"
#include "support/RecordingPrompter.h"
#include "workspace/OpenIncident.h"

#include <QDesktopServices>
#include <QItemSelectionModel>
#include <QTreeView>
#include <QtTest>

using namespace pellam;

class UrlRecorder : public QObject {
    Q_OBJECT
public slots:
    void open(const QUrl& url) { urls << url; }

public:
    QList<QUrl> urls;
};

class AttachFORMTest : public QObject {
    Q_OBJECT
private slots:
    void listsAndExaminesTheAttachments()
    {
        Session session;
        OpenIncident open(session);
        QVERIFY(open.Open(PELLAM_BINARY_DIR "/sample/4711/4711.evt"));
        open.RunToEnd();
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler("file", &recorder, "open");
        test::RecordingPrompter prompter;
        AttachFORM form(session, prompter);

        const QAbstractItemModel* rows = form.LV1()->model();
        QCOMPARE(rows->rowCount(), 3);
        const QStringList second = {"Residence.jpg", "Photo of the residence", "Photo", "1 KB"};
        for (int c = 0; c < 4; ++c)
            QCOMPARE(rows->index(1, c).data().toString(), second[c]);
        QCOMPARE(form.windowTitle(), QString(" Attachments for 4711"));

        form.ExamineSelected();
        QCOMPARE(prompter.messages.back().title, std::string("ERROR"));
        form.LV1()->setCurrentIndex(rows->index(1, 2));
        form.ExamineSelected();
        QCOMPARE(recorder.urls,
            QList<QUrl> {QUrl::fromLocalFile(PELLAM_BINARY_DIR "/sample/4711/Attachments/Residence.jpg")});
        QCOMPARE(prompter.messages.size(), std::size_t(1));

        // Nothing takes the file; then a listed file that is not there.
        form.DesktopOpen = [](const QString&) { return false; };
        form.ExamineSelected();
        QCOMPARE(prompter.messages.back().text, "Unable to examine file.    \r\nNo association for file extension");
        QCOMPARE(prompter.messages.back().icon, MessageIcon::Exclamation);
        session.attachments.entries[1].FileName = "Gone.jpg";
        session.attachments.entries[2].FileName = "../../4711.evt";
        AttachFORM edited(session, prompter);
        edited.DesktopOpen = form.DesktopOpen;
        for (int row : {1, 2}) {
            edited.LV1()->setCurrentIndex(edited.LV1()->model()->index(row, 0));
            edited.ExamineSelected();
        }
        QCOMPARE(prompter.messages[2].text, "Unable to examine file.    \r\nFile not found");
        QCOMPARE(prompter.messages[3].text, "Unable to examine file.    \r\nAccess denied");

        // A count beyond the entries read, or below 1.
        session.attachments.entries[0].FileName.clear();
        session.attachments.AttachCount = 900;
        AttachFORM more(session, prompter);
        QCOMPARE(more.LV1()->model()->rowCount(), 3);
        more.LV1()->setCurrentIndex(more.LV1()->model()->index(0, 0));
        more.ExamineSelected(); // an empty file name does nothing
        QCOMPARE(prompter.messages.size(), std::size_t(4));
        session.attachments.AttachCount = -2;
        QCOMPARE(AttachFORM(session, prompter).LV1()->model()->rowCount(), 0);
        QDesktopServices::unsetUrlHandler("file");
    }
};

QTEST_MAIN(AttachFORMTest)
#include "AttachFORMTest.moc"
