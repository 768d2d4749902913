// With no sound server reachable, opening the device fails cleanly and the
// player goes on without sound.
#include "audio/WAVPlayer.h"
#include "audio/ui/QtDispatcher.h"
#include "audio/ui/QtWaveBackend.h"

#include "../WavFiles.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>

using namespace pellam;

class NoSoundServerTest : public QObject {
    Q_OBJECT

private slots:
    void openFailsAndNothingCrashes()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const std::string wav = dir.filePath("a.wav").toStdString();
        std::ofstream(wav, std::ios::binary) << test::PcmWav(1, 8000, std::string(16000, '\1'));

        QElapsedTimer clock;
        clock.start();
        QtWaveBackend backend;
        QtDispatcher dispatcher;
        WaveOut out(backend, dispatcher);
        QCOMPARE(out.GetNumDevs(), 0);
        QVERIFY(!out.Init(44100, 2, 16, -1));
        QVERIFY(!out.WriteSamples("abcd", 4));

        WAVPlayer player(backend, dispatcher);
        QVERIFY(player.SetSelectedDevice(-1).ok());
        QVERIFY(!player.FileOpen(wav));
        QVERIFY(!player.PlaybackStart());
        QVERIFY(clock.elapsed() < 10000);
    }
};

int main(int argc, char** argv)
{
    // Point the sound layer at a socket that does not exist, and forbid it to
    // start a server of its own, before anything asks for devices.
    QTemporaryDir dir;
    const QByteArray conf = dir.filePath("client.conf").toUtf8();
    std::ofstream(conf.constData()) << "autospawn = no\n";
    qputenv("PULSE_CLIENTCONFIG", conf);
    qputenv("PULSE_SERVER", dir.filePath("no-such-socket").prepend("unix:").toUtf8());
    QCoreApplication app(argc, argv);
    NoSoundServerTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "NoSoundServerTest.moc"
