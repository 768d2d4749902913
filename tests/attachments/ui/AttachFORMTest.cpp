// The attachments window on the sample incident; files open through a URL recorder, so no program starts.
#include "attachments/ui/AttachFORM.h"
#include "support/RecordingPrompter.h"
#include "support/UrlRecorder.h"
#include "workspace/OpenIncident.h"

#include <QTreeView>
#include <QtTest>

using namespace pellam;

class AttachFORMTest : public QObject {
    Q_OBJECT
private slots:
    void listsAndExaminesTheAttachments()
    {
        Session session;
        OpenIncident open(session);
        QVERIFY(open.Open(PELLAM_BINARY_DIR "/sample/4711/4711.evt"));
        open.RunToEnd();
        test::UrlRecorder recorder;
        test::RecordingPrompter prompter;
        const auto examineRow = [&](AttachFORM& form, int row) {
            form.LV1()->setCurrentIndex(form.LV1()->model()->index(row, 2));
            form.ExamineSelected();
        };
        AttachFORM form(session, prompter);
        const QAbstractItemModel* rows = form.LV1()->model();
        QCOMPARE(rows->rowCount(), 3);
        const QStringList second = {"Residence.jpg", "Photo of the residence", "Photo", "1 KB"};
        for (int c = 0; c < 4; ++c)
            QCOMPARE(rows->index(1, c).data().toString(), second[c]);

        form.ExamineSelected();
        QCOMPARE(prompter.messages.back().title, std::string("ERROR"));
        examineRow(form, 1);
        QCOMPARE(recorder.urls,
            QList<QUrl> {QUrl::fromLocalFile(PELLAM_BINARY_DIR "/sample/4711/Attachments/Residence.jpg")});
        // Nothing takes the file; a listed file that is missing; one outside the folder; an empty name.
        form.DesktopOpen = [](const QString&) { return false; };
        examineRow(form, 1);
        session.attachments.entries[0].FileName.clear();
        session.attachments.entries[1].FileName = "Gone.jpg";
        session.attachments.entries[2].FileName = "../../4711.evt";
        session.attachments.AttachCount = 900; // more than were read
        AttachFORM edited(session, prompter);
        QCOMPARE(edited.LV1()->model()->rowCount(), 3);
        for (int row : {0, 1, 2})
            examineRow(edited, row);
        QCOMPARE(prompter.messages.size(), std::size_t(4));
        QCOMPARE(prompter.messages[1].text, "Unable to examine file.    \r\nNo association for file extension");
        QCOMPARE(prompter.messages[2].text, "Unable to examine file.    \r\nFile not found");
        QCOMPARE(prompter.messages[3].text, "Unable to examine file.    \r\nAccess denied");
        QCOMPARE(recorder.urls.size(), 1);
        session.attachments.AttachCount = -2;
        QCOMPARE(AttachFORM(session, prompter).LV1()->model()->rowCount(), 0);
    }
};

QTEST_MAIN(AttachFORMTest)
#include "AttachFORMTest.moc"
