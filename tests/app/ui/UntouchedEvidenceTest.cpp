// A whole review of a copy of the sample incident leaves the evidence exactly
// as it was: every recording decoded (by the real decoder) and played, seeked
// and its details shown and marked with a note, every window opened, every
// document printed to PDF, a note edited, then the window closed; the folder's listing, bytes, sizes, times and modes
// are compared before and after, the files' access times too (they are set
// to a day long past first, so no mount option hides a read). The same review
// runs once more on a read-only copy, as a user who may not write there, and
// must not fail.
// With --review-child the binary is that user's copy of the program.
#include "analysis/ui/StatsWindow.h"
#include "app/CaseReportRun.h"
#include "app/Main.h"
#include "app/RecordingListController.h"
#include "attachments/ui/AttachFORM.h"
#include "audio/ui/PlaybackPanel.h"
#include "conversations/ui/TextConvViewer.h"
#include "logs/ui/DocViewer.h"
#include "notes/ui/NotesWindow.h"
#include "records/ui/RCEV.h"
#include "records/ui/RecordViewer.h"
#include "support/FakeDesktop.h"
#include "support/FakeShell.h"
#include "support/PdfOutput.h"
#include "support/RecordingPrompter.h"
#include "support/VirtualWaveBackend.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTreeView>
#include <QtTest>

#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace pellam;

namespace {

// Path, size, modification time, mode and SHA-256 of everything in a folder;
// with `accessTimes` also each file's access time. The hashing reads keep the
// access times (O_NOATIME: the test owns the files).
QStringList Snapshot(const QString& folder, bool accessTimes)
{
    QStringList lines;
    QDirIterator it(
        folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        struct stat st { };
        ::lstat(QFile::encodeName(path).constData(), &st);
        QString line = QString("%1 %2 %3.%4 %5")
                           .arg(path.mid(folder.size()))
                           .arg(st.st_size)
                           .arg(st.st_mtim.tv_sec)
                           .arg(st.st_mtim.tv_nsec)
                           .arg(st.st_mode, 0, 8);
        if (accessTimes && S_ISREG(st.st_mode))
            line += QString(" atime %1.%2").arg(st.st_atim.tv_sec).arg(st.st_atim.tv_nsec);
        const int fd
            = S_ISREG(st.st_mode) ? ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOATIME | O_CLOEXEC) : -1;
        QFile f; // takes the descriptor over
        if (fd >= 0 && f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            QCryptographicHash sha(QCryptographicHash::Sha256);
            sha.addData(&f);
            line += " " + sha.result().toHex();
        }
        lines << line;
    }
    lines.sort();
    return lines;
}

// Everything an operator can do with the incident, printing into `out`.
// Returns what went wrong; the messages the program showed are in `prompter`.
QString Review(const QString& evt, const QString& out, test::RecordingPrompter& prompter,
    std::unique_ptr<WaveOutBackend> sound = nullptr)
{
    int printed = 0;
    test::FakeShell shell;
    Main w(prompter, shell, std::move(sound));
    shell.printer
        = [&](QPrinter& printer) { return test::PdfPrinter(QString("%1/%2.pdf").arg(out).arg(++printed))(printer); };
    test::FakeDesktop desktop; // no program is started
    w.Form_Load(false);
    w.show();
    w.OpenEventFile(evt);
    if (!QTest::qWaitFor([&] { return !w.Loading(); }, 60000))
        return "the open did not finish";
    auto* list = w.findChild<QTreeView*>("LV1");
    for (int row = 0; row < list->model()->rowCount(); ++row) {
        list->setCurrentIndex(list->model()->index(row, 0));
        w.list().DoubleClick();
        const QString name = list->model()->index(row, 0).data().toString();
        if (!QTest::qWaitFor([&] { return w.player().Status() == PlayerStatus::Playing; }, 30000))
            return "recording " + name + " did not play";
        w.player().SetPosition(w.player().Duration() / 2);
        QCoreApplication::processEvents(); // the buffers the seek queued are played
        w.panel().BeginMark();
        w.panel().MarkField()->setText("heard in " + name);
        emit w.panel().MarkField()->returnPressed();
        w.list().MouseUp(Qt::RightButton, QPoint(20, 20));
        if (!w.list().details())
            return "no details for " + name;
        w.list().KillInfo();
    }
    for (const char* log : {"4711_MainLOG.doc", "4711_NOCLOG.rtf", "ADCOMM.rtf", "4711_NPP_Rpt.rtf"})
        w.PrintLOG(QFile::encodeName(QFileInfo(evt).dir().filePath(log)).toStdString());
    w.Choose(MenuEntry::LogFileViewer);
    if (!w.findChild<DocViewer*>())
        return "no log viewer";
    w.Choose(MenuEntry::Statistics);
    auto* stats = w.findChild<StatsWindow*>();
    stats->SSTab1()->setCurrentIndex(StatsWindow::kCrcTab);
    if (!QTest::qWaitFor([&] { return !stats->CrcTestRunning(); }, 30000))
        return "the CRC test did not end";
    if (!stats->RTB()->toPlainText().contains("No discrepancies found."))
        return "the CRC test found discrepancies";
    stats->PrintResults();
    stats->PrintStatistics();
    w.Choose(MenuEntry::RecordViewer);
    auto* records = w.findChild<RecordViewer*>();
    for (int row = 0; records && row < records->LV1()->model()->rowCount(); ++row) {
        records->RowDoubleClicked(row);
        records->sheet()->GetNewPicTIMTick();
        records->sheet()->PrintThisRecord();
    }
    w.action(MenuEntry::Attachments)->trigger();
    auto* attach = w.findChild<AttachFORM*>();
    for (int row = 0; attach && row < attach->LV1()->model()->rowCount(); ++row) {
        attach->LV1()->setCurrentIndex(attach->LV1()->model()->index(row, 0));
        attach->ExamineSelected();
    }
    w.Choose(MenuEntry::Notes);
    auto* notes = w.findChild<NotesWindow*>();
    if (!notes || notes->model().rowCount() != list->model()->rowCount())
        return "the marks were not kept";
    notes->model().setData(notes->model().index(0, MarkTableModel::Note), "edited");
    if (!QTest::qWaitFor([&] { return notes->model().index(0, MarkTableModel::Note).data() == "edited"; }, 5000))
        return "the note was not edited";
    w.action(MenuEntry::TextConversations)->trigger();
    if (auto* texts = w.findChild<TextConvViewer*>())
        texts->PrintCurrent();
    // The case report, its steps taken as its timer would take them.
    shell.examiner = "Examiner";
    w.action(MenuEntry::CaseReport)->trigger();
    auto* report = w.findChild<CaseReportRun*>();
    if (!report || !QTest::qWaitFor([&] {
            report->tick();
            return !report->Running();
        }))
        return "the case report was not made";
    const int attachments = attach ? attach->LV1()->model()->rowCount() : -1;
    const bool examined = QTest::qWaitFor([&] { return desktop.Opened().size() == attachments; }, 10000);
    w.CloseAllWindows();
    w.close();
    if (!records || !attach || !examined)
        return "the record list or the attachments did not open";
    if (printed < 11)
        return QString("only %1 documents were printed").arg(printed);
    return {};
}

int ReviewChild(const QString& evt, const QString& out)
{
    test::RecordingPrompter prompter;
    // Another user cannot reach this user's sound server: the sound goes to a virtual device.
    const QString failure = Review(evt, out, prompter, std::make_unique<VirtualWaveBackend>());
    for (const auto& m : prompter.messages)
        std::printf("message: %s: %s\n", m.title.c_str(), m.text.c_str());
    std::printf("%s\n", qPrintable(failure));
    return failure.isEmpty() && prompter.messages.empty() ? 0 : 1;
}

} // namespace

class UntouchedEvidenceTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("lame").isEmpty())
            QSKIP("the decoder program lame is not installed (scripts/setup installs it)");
        if (qEnvironmentVariableIsEmpty("PULSE_SERVER") && qEnvironmentVariableIsEmpty("PULSE_RUNTIME_PATH"))
            QSKIP("no sound server: run under scripts/test, which starts one");
        QVERIFY(m_root.isValid());
        QFile::setPermissions(m_root.path(),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                | QFile::ReadOther | QFile::ExeOther);
        QVERIFY(QProcess::execute("cp", {"-a", PELLAM_BINARY_DIR "/sample/4711", m_root.filePath("4711")}) == 0);
        qputenv("HOME", m_root.filePath("home").toUtf8());
    }

    void wholeReviewLeavesTheEvidenceAsItWas()
    {
        const QString evidence = m_root.filePath("4711");
        QVERIFY(QDir().mkpath(m_root.filePath("out")));
        // Every access time a day long past, before the modification time, so
        // that any read would move it (a relatime mount updates an access time
        // older than the modification time).
        QDirIterator files(evidence, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        const timespec past[2] = {{978307200, 0}, {0, UTIME_OMIT}}; // 2001-01-01
        while (files.hasNext())
            ::utimensat(AT_FDCWD, QFile::encodeName(files.next()).constData(), past, AT_SYMLINK_NOFOLLOW);
        const QStringList before = Snapshot(evidence, true);
        test::RecordingPrompter prompter;
        const QString failure = Review(evidence + "/4711.evt", m_root.filePath("out"), prompter);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QVERIFY(prompter.messages.empty());
        QCOMPARE(Snapshot(evidence, true), before);
    }

    // Read-only evidence, reviewed by a user who may not write there.
    void readOnlyEvidenceIsReviewedWithoutFailures()
    {
        const QString evidence = m_root.filePath("ro/4711");
        QVERIFY(QDir().mkpath(m_root.filePath("ro"))
            && QProcess::execute("cp", {"-a", m_root.filePath("4711"), evidence}) == 0
            && QProcess::execute("chmod", {"-R", "a-w", evidence}) == 0);
        for (const char* writable : {"ro-home", "ro-out"}) {
            QVERIFY(QDir().mkpath(m_root.filePath(writable)));
            QFile::setPermissions(m_root.filePath(writable), QFileDevice::Permissions(0x7777));
        }
        // Access times are kept only for the files' owner (or root); this user is neither.
        const QStringList before = Snapshot(evidence, false);
        QStringList command {QCoreApplication::applicationFilePath(), "--review-child", evidence + "/4711.evt",
            m_root.filePath("ro-out")};
        if (::geteuid() == 0) {
            if (QStandardPaths::findExecutable("setpriv").isEmpty())
                QSKIP("setpriv is missing: cannot review as a user without write permission");
            command = QStringList {"--reuid=nobody", "--regid=nogroup", "--clear-groups"} + command;
            command.prepend("setpriv");
        }
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", m_root.filePath("ro-home"));
        child.setProcessEnvironment(env);
        child.start(command.takeFirst(), command);
        QVERIFY(child.waitForFinished(240000));
        const QString said = QString::fromUtf8(child.readAllStandardOutput() + child.readAllStandardError());
        QVERIFY2(child.exitCode() == 0, qPrintable(said));
        QCOMPARE(Snapshot(evidence, false), before);
        QProcess::execute("chmod", {"-R", "u+w", m_root.filePath("ro")}); // so the folder can be removed
    }

private:
    QTemporaryDir m_root;
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc == 4 && std::string_view(argv[1]) == "--review-child")
        return ReviewChild(argv[2], argv[3]);
    UntouchedEvidenceTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "UntouchedEvidenceTest.moc"
