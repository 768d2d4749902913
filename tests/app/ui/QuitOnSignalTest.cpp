// The program ended by SIGTERM, SIGINT and SIGHUP at once: it closes as at a
// normal exit, deleting its decoded recording, and reports the first signal
// it read in its exit status. One of the three left uncaught would kill it.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

class QuitOnSignalTest : public QObject {
    Q_OBJECT
private slots:
    void signalsEndTheProgramCleanly()
    {
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
        const QString wav = QString("%1/TMP-%2-1.WAV").arg(work).arg(pellam.processId());
        QVERIFY(QFile(wav).open(QIODevice::WriteOnly));

        for (const int number : {SIGHUP, SIGINT, SIGTERM})
            ::kill(static_cast<pid_t>(pellam.processId()), number);
        QVERIFY(pellam.waitForFinished(30000));
        QCOMPARE(pellam.exitStatus(), QProcess::NormalExit);
        QVERIFY2(QList<int>({128 + SIGHUP, 128 + SIGINT, 128 + SIGTERM}).contains(pellam.exitCode()),
            qPrintable(QString::number(pellam.exitCode())));
        QVERIFY(!QFile::exists(wav));
    }
};

QTEST_MAIN(QuitOnSignalTest)
#include "QuitOnSignalTest.moc"
