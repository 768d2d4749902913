// The program ended by SIGTERM, SIGINT or SIGHUP: it closes as at a normal
// exit, deleting its decoded recording, and reports the signal in its exit
// status.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

class QuitOnSignalTest : public QObject {
    Q_OBJECT
private slots:
    void signalEndsTheProgramCleanly_data()
    {
        QTest::addColumn<int>("number");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    void signalEndsTheProgramCleanly()
    {
        QFETCH(int, number);
        QTemporaryDir home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        QProcess pellam;
        pellam.setProcessEnvironment(env);
        pellam.start(PELLAM_BINARY_DIR "/bin/pellam", {});
        QVERIFY(pellam.waitForStarted());
        // Up once its working folder is there; the decoded recording it
        // would hold after a load is put there for it.
        const QString work = home.filePath(".local/share/NorvikTECH-Pellam");
        QTRY_VERIFY_WITH_TIMEOUT(QDir(work).exists(), 30000);
        const QString wav = QString("%1/TMP-%2.WAV").arg(work).arg(pellam.processId());
        QVERIFY(QFile(wav).open(QIODevice::WriteOnly));

        ::kill(static_cast<pid_t>(pellam.processId()), number);
        QVERIFY(pellam.waitForFinished(30000));
        QCOMPARE(pellam.exitStatus(), QProcess::NormalExit);
        QCOMPARE(pellam.exitCode(), 128 + number);
        QVERIFY(!QFile::exists(wav));
    }
};

QTEST_MAIN(QuitOnSignalTest)
#include "QuitOnSignalTest.moc"
