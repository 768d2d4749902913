// The text conversation viewer on the sample incident and on a folder of its own; files go to a fake xdg-open.
#include "conversations/ui/TextConvViewer.h"
#include "support/FakeDesktop.h"
#include "support/PdfOutput.h"
#include "support/RecordingPrompter.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTextEdit>
#include <QtTest>

using namespace pellam;

namespace {

const QString kSample = PELLAM_BINARY_DIR "/sample/4711";

// Puts the caret of box `tab` inside the first occurrence of `text`, runs the link check and double-clicks.
std::string DoubleClickInside(TextConvViewer& v, int tab, const QString& text)
{
    QTextCursor c = v.RTB(tab)->document()->find(text);
    c.setPosition(c.selectionStart() + 2);
    v.RTB(tab)->setTextCursor(c);
    v.BoxPressed(tab);
    v.FinishCheck();
    v.BoxDoubleClicked();
    return v.ReadyName() ? v.RTB(tab)->textCursor().selectedText().toStdString() : "";
}

} // namespace

class TextConvViewerTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheSampleConversationsOpensTheLinkedFileAndPrints()
    {
        QTemporaryDir dir;
        test::FakeDesktop desktop;
        test::RecordingPrompter prompter;
        TextConvViewer v(
            {FolderPath(kSample.toStdString()), "4711", test::PrintInto(dir.filePath("tomas.pdf"))}, prompter);
        QSignalSpy handedOver(&v.desktop(), &DesktopOpener::finished);
        v.LTIMTick();
        QCOMPARE(v.SSTab1()->tabText(0) + v.SSTab1()->tabText(1), QString("Dale OrrinTomas Orrin"));
        QVERIFY(!v.SSTab1()->isTabVisible(2) && !v.SSTab1()->isTabVisible(3) && v.Label1()->isHidden());
        QCOMPARE(v.Label3()->text(), QString("(555) 201-7730"));
        v.SSTab1()->setCurrentIndex(1);
        QCOMPARE(v.Label2()->text() + v.Label3()->text(), QString("Tomas Orrin(555) 201-9912"));

        QCOMPARE(DoubleClickInside(v, 0, "IMG_0412"), "IMG_0412.jpg");
        QCOMPARE(DoubleClickInside(v, 0, "this is the house"), ""); // outside the brackets: nothing opens
        v.OpenTextFolder();
        QTRY_COMPARE(handedOver.size(), 2);
        QStringList opened = desktop.Opened(); // the two ran side by side
        opened.sort();
        QCOMPARE(opened, (QStringList {kSample + "/TextFiles", kSample + "/TextFiles/IMG_0412.jpg"}));
        QVERIFY(prompter.messages.empty());
        // No file manager takes the folder: said, with xdg-open's own words.
        desktop.Answer(4, "gio: Operation not supported");
        v.OpenTextFolder();
        QTRY_COMPARE(prompter.messages.size(), std::size_t(1));
        QCOMPARE(prompter.messages[0].text,
            "Unable to open the folder " + kSample.toStdString()
                + "/TextFiles \r\nNo file manager took it. Please open the folder by hand.");
        QCOMPARE(prompter.messages[0].detail,
            kSample.toStdString() + "/TextFiles\ngio: Operation not supported\nxdg-open ended with status 4.");
        prompter.messages.clear();

        QVERIFY(v.PrintCurrent());
        const QString text = test::PdfText(dir.filePath("tomas.pdf"));
        QVERIFY2(
            text.contains("told me last week [notes.txt]") && !text.contains("Dale, this is Ilse"), qPrintable(text));
    }

    void showsOnlyWhatLoadsAndOpensOnlyInsideTheFolder()
    {
        QTemporaryDir dir;
        const auto write = [&](const QString& name, const QByteArray& bytes) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        };
        const ConversationsInput input {FolderPath(dir.path().toStdString()), "9", {}};
        write("9_TextCon0.doc", "{\\rtf1 Sent [gone.jpg] and [/etc/passwd.txt] and [sub\\\\a.txt]\\par}");
        write("9_TextCon2.doc", "plain words, not rich text");
        write("TxT.dat", "\"1|True|Ann|5551234\",\"2|-1|Bo|1\",\"3|1|Cy|\",\"4|0|Di|\"");
        test::RecordingPrompter prompter;
        test::FakeDesktop desktop; // nothing here is handed over: every name is missing or refused
        TextConvViewer v(input, prompter);
        v.LTIMTick();
        // Slot 2's document is missing: no tab, the others still load.
        QVERIFY(v.SSTab1()->isTabVisible(0) && !v.SSTab1()->isTabVisible(1) && v.SSTab1()->isTabVisible(2));
        QCOMPARE(v.RTB(2)->toPlainText() + "|" + v.Label2()->text() + v.Label3()->text(),
            QString("plain words, not rich text|Ann555-1234"));
        for (const char* name : {"gone.jpg", "/etc/passwd.txt", "sub\\a.txt"})
            QCOMPARE(DoubleClickInside(v, 0, name), name);
        v.OpenTextFolder();
        QCOMPARE(prompter.messages.size(), std::size_t(4));
        for (int i : {0, 1, 2})
            QVERIFY(prompter.messages[i].text.ends_with(i == 0 ? "File not found" : "Access denied"));
        QVERIFY(QString::fromStdString(prompter.messages[3].text).contains(dir.path()));

        write("TxT.dat", "1|1|A|"); // 6 bytes: only the note shows
        TextConvViewer none(input, prompter);
        none.LTIMTick();
        QVERIFY(none.SSTab1()->isHidden() && !none.Label1()->isHidden() && none.PrintButton()->isHidden());
    }
};

QTEST_MAIN(TextConvViewerTest)
#include "TextConvViewerTest.moc"
