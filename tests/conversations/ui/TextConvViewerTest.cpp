// The text conversation viewer on the sample incident and on small evidence
// folders of its own: tabs and contacts, the link to a received file through
// a recording URL handler (so no program starts), refused names, and printing.
#include "conversations/ui/TextConvViewer.h"
#include "support/RecordingPrompter.h"
#include "workspace/Session.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTextEdit>
#include <QtTest>

using namespace pellam;

class UrlRecorder : public QObject {
    Q_OBJECT
public slots:
    void open(const QUrl& url) { urls << url; }

public:
    QList<QUrl> urls;
};

namespace {

const QString kSample = PELLAM_BINARY_DIR "/sample/4711";

// Puts the caret of box `tab` inside the first occurrence of `text` and runs the link check.
void ClickInside(TextConvViewer& v, int tab, const QString& text)
{
    QTextCursor c = v.RTB(tab)->document()->find(text);
    c.setPosition(c.selectionStart() + 2);
    v.RTB(tab)->setTextCursor(c);
    v.BoxPressed(tab);
    v.FinishCheck();
}

} // namespace

class TextConvViewerTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheSampleConversationsAndOpensTheLinkedFile()
    {
        Session session;
        session.paths.Evidence = kSample.toStdString();
        session.CaseNumber = "4711";
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler("file", &recorder, "open");
        test::RecordingPrompter prompter;
        TextConvViewer v(session, prompter);
        v.LTIMTick();
        QCOMPARE(v.SSTab1()->tabText(0), QString("Dale Orrin"));
        QCOMPARE(v.SSTab1()->tabText(1), QString("Tomas Orrin"));
        QVERIFY(!v.SSTab1()->isTabVisible(2) && !v.SSTab1()->isTabVisible(3));
        QCOMPARE(v.Label3()->text(), QString("(555) 201-7730"));
        v.SSTab1()->setCurrentIndex(1);
        QCOMPARE(v.Label2()->text(), QString("Tomas Orrin"));
        QCOMPARE(v.Label3()->text(), QString("(555) 201-9912"));

        ClickInside(v, 0, "IMG_0412");
        QCOMPARE(v.RTB(0)->textCursor().selectedText(), QString("IMG_0412.jpg"));
        v.BoxDoubleClicked();
        ClickInside(v, 0, "this is the house");
        QVERIFY(!v.ReadyName());
        v.BoxDoubleClicked(); // nothing selected: nothing opens
        v.OpenTextFolder();
        QCOMPARE(recorder.urls,
            (QList<QUrl> {QUrl::fromLocalFile(kSample + "/TextFiles/IMG_0412.jpg"),
                QUrl::fromLocalFile(kSample + "/TextFiles")}));
        QVERIFY(prompter.messages.empty());
        QDesktopServices::unsetUrlHandler("file");

        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        QTemporaryDir dir;
        v.ChoosePrinter = [&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(dir.filePath("tomas.pdf"));
            return true;
        };
        QVERIFY(v.PrintCurrent());
        QProcess p;
        p.start("pdftotext", {dir.filePath("tomas.pdf"), "-"});
        QVERIFY(p.waitForFinished(20000));
        const QString text = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(text.contains("Here is what he told me last week [notes.txt]") && !text.contains("Dale, this is Ilse"),
            qPrintable(text));
    }

    void showsOnlyWhatLoadsAndOpensOnlyInsideTheFolder()
    {
        QTemporaryDir dir;
        const auto write = [&](const QString& name, const QByteArray& bytes) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        };
        Session session;
        session.paths.Evidence = dir.path().toStdString();
        session.CaseNumber = "9";
        const char* rtf = "{\\rtf1 Sent [gone.jpg] and [/etc/passwd.txt] and [sub\\\\a.txt]\\par}";
        write("9_TextCon0.doc", rtf);
        write("9_TextCon2.doc", "plain words, not rich text");
        write("TxT.dat", "\"1|True|Ann|5551234\",\"2|-1|Bo|1\",\"3|1|Cy|\",\"4|0|Di|\"");
        test::RecordingPrompter prompter;
        TextConvViewer v(session, prompter);
        v.DesktopOpen = [](const QString&) { return true; };
        v.LTIMTick();
        // Slot 2's document is missing: no tab, the others still load.
        QCOMPARE(v.SSTab1()->isTabVisible(0), true);
        QCOMPARE(v.SSTab1()->isTabVisible(1), false);
        QCOMPARE(v.SSTab1()->isTabVisible(2), true);
        QCOMPARE(v.RTB(2)->toPlainText(), QString("plain words, not rich text"));
        QCOMPARE(v.Label2()->text(), QString("Ann"));
        QCOMPARE(v.Label3()->text(), QString("555-1234"));
        for (const char* name : {"gone.jpg", "/etc/passwd.txt", "sub\\a.txt"}) {
            ClickInside(v, 0, name);
            QCOMPARE(QString::fromStdString(v.ReadyName().value_or("")), QString(name));
            v.BoxDoubleClicked();
        }
        v.OpenTextFolder();
        QCOMPARE(prompter.messages.size(), std::size_t(4));
        QCOMPARE(prompter.messages[0].text, "Unable to examine file.    \r\nFile not found");
        QCOMPARE(prompter.messages[1].text, "Unable to examine file.    \r\nAccess denied");
        QCOMPARE(prompter.messages[2].text, "Unable to examine file.    \r\nAccess denied");
        QVERIFY(QString::fromStdString(prompter.messages[3].text).contains(dir.path()));

        // A "TxT.dat" of 6 bytes: only the note shows.
        write("TxT.dat", "1|1|A|");
        TextConvViewer none(session, prompter);
        none.LTIMTick();
        QVERIFY(none.SSTab1()->isHidden() && !none.Label1()->isHidden());
        QVERIFY(none.PrintButton()->isHidden() && none.FolderButton()->isHidden());
        QVERIFY(!none.PrintCurrent());
    }
};

QTEST_MAIN(TextConvViewerTest)
#include "TextConvViewerTest.moc"
