// The program's shell hands paths to xdg-open (a fake one here): a folder
// and a program go over as they are; a name that is no valid text would
// reach the desktop as another name, so it is refused and said.
#include "app/DesktopShell.h"
#include "support/FakeDesktop.h"
#include "support/RecordingPrompter.h"
#include "workspace/ui/DesktopOpen.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>

#include <unistd.h>

using namespace pellam;

class DesktopShellTest : public QObject {
    Q_OBJECT
private slots:
    void handsOverWhatCanBeNamedAndRefusesTheRest()
    {
        test::FakeDesktop desktop;
        test::RecordingPrompter prompter;
        DesktopShell shell(prompter);
        QSignalSpy handedOver(shell.findChild<DesktopOpener*>(), &DesktopOpener::finished);
        QTemporaryDir evidence;
        const std::string program = evidence.path().toStdString() + "/run.exe";
        QVERIFY(std::ofstream(program) << "x");
        QVERIFY(shell.OpenWithDesktop(evidence.path().toStdString()) && shell.StartProgram(program));
        QTRY_COMPARE(handedOver.size(), 2);
        QStringList opened = desktop.Opened(); // the two ran side by side
        opened.sort();
        QCOMPARE(opened, (QStringList {evidence.path(), QString::fromStdString(program)}));

        const std::string latin1 = evidence.path().toStdString() + "/Pe" + '\xF1' + "a.txt";
        QVERIFY(std::ofstream(latin1) << "x");
        QVERIFY(!shell.OpenWithDesktop(latin1));
        ::unlink(latin1.c_str());
        QCOMPARE(prompter.messages.size(), std::size_t(1));
        QCOMPARE(prompter.messages.back().text,
            "Unable to open the file " + latin1
                + " \r\nIts name cannot be given to another program on this PC. Please open it by hand.");
        QCOMPARE(desktop.Opened().size(), 2);
    }
};

QTEST_MAIN(DesktopShellTest)
#include "DesktopShellTest.moc"
