// The attachments window on the sample incident; files go to a fake xdg-open, so no program starts.
#include "attachments/ui/AttachFORM.h"
#include "attachments/ui/AttachmentTableModel.h"
#include "support/FakeDesktop.h"
#include "support/RecordingPrompter.h"
#include "support/SampleIncident.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QSignalSpy>
#include <QTreeView>
#include <QtTest>

using namespace pellam;

class AttachFORMTest : public QObject {
    Q_OBJECT
private slots:
    void listsAndExaminesTheAttachments()
    {
        const std::unique_ptr<IncidentModel> sample = test::OpenSampleIncident();
        QVERIFY(sample);
        AttachmentsInput input {sample->CaseNumber, sample->attachments, sample->attachFolder};
        test::FakeDesktop desktop;
        test::RecordingPrompter prompter;
        const auto examineRow = [&](AttachFORM& form, int row) {
            form.LV1()->setCurrentIndex(form.LV1()->model()->index(row, 2));
            form.ExamineSelected();
        };
        AttachFORM form(input, prompter);
        auto* rows = static_cast<AttachmentTableModel*>(form.LV1()->model());
        QAbstractItemModelTester tester(rows, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(rows->rowCount(), 3);
        // The event file names the incident system's folder: the line above says where the list was found.
        QVERIFY(!form.FromLabel()->isHidden());
        QVERIFY(
            form.FromLabel()->text().startsWith("Attachments from " PELLAM_BINARY_DIR "/sample/4711/Attachments/ "));
        const QStringList second = {"Residence.jpg", "Photo of the residence", "Photo", "1 KB"};
        for (int c = 0; c < 4; ++c)
            QCOMPARE(rows->index(1, c).data().toString(), second[c]);

        form.ExamineSelected();
        QCOMPARE(prompter.messages.back().title, std::string("ERROR"));
        QSignalSpy handedOver(&form.desktop(), &DesktopOpener::finished);
        examineRow(form, 1);
        QTRY_COMPARE(handedOver.size(), 1);
        const QString residence = PELLAM_BINARY_DIR "/sample/4711/Attachments/Residence.jpg";
        QCOMPARE(desktop.Opened(), QStringList {residence});
        QCOMPARE(prompter.messages.size(), std::size_t(1));

        // The desktop finds no program for the file (the reason of each exit
        // status is the examine logic's test), there is no xdg-open: each is
        // told, with the file and what xdg-open said.
        desktop.Answer(3, "xdg-open: no method available for opening 'Residence.jpg'");
        handedOver.clear();
        examineRow(form, 1);
        QTRY_COMPARE(handedOver.size(), 1);
        QCOMPARE(prompter.messages.back().text, "Unable to examine file.    \r\nNo association for file extension");
        QCOMPARE(prompter.messages.back().detail,
            residence.toStdString()
                + "\nxdg-open: no method available for opening 'Residence.jpg'\nxdg-open ended with status 3.");
        desktop.Without();
        examineRow(form, 1);
        QTRY_COMPARE(prompter.messages.size(), std::size_t(3));
        QCOMPARE(prompter.messages.back().text, "Unable to examine file.    \r\nNo association for file extension");
        QVERIFY(
            prompter.messages.back().detail.starts_with(residence.toStdString() + "\nxdg-open could not be started: "));
        prompter.messages.resize(1);

        // A listed file that is missing; one outside the folder; an empty name.
        input.attachments.entries[0].FileName.clear();
        input.attachments.entries[1].FileName = "Gone.jpg";
        input.attachments.entries[2].FileName = "../../4711.evt";
        input.attachments.AttachCount = 900; // more than were read
        AttachFORM edited(input, prompter);
        QCOMPARE(edited.LV1()->model()->rowCount(), 3);
        for (int row : {0, 1, 2})
            examineRow(edited, row);
        QCOMPARE(prompter.messages.size(), std::size_t(3));
        QCOMPARE(prompter.messages[1].text, "Unable to examine file.    \r\nFile not found");
        QCOMPARE(prompter.messages[2].text, "Unable to examine file.    \r\nAccess denied");
        QCOMPARE(desktop.Opened().size(), 2);
        input.attachments.AttachCount = -2;
        QCOMPARE(AttachFORM(input, prompter).LV1()->model()->rowCount(), 0);
        // The first window's list, emptied and filled again.
        rows->PopulateData(input.attachments);
        input.attachments.AttachCount = 3;
        rows->PopulateData(input.attachments);
        QCOMPARE(rows->index(1, 0).data().toString(), QString("Gone.jpg"));
    }
};

QTEST_MAIN(AttachFORMTest)
#include "AttachFORMTest.moc"
