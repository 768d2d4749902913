// Real WAV files through the sound server's null sink: pace, seeking and the end.
#include "audio/WAVPlayer.h"
#include "audio/ui/QtDispatcher.h"
#include "audio/ui/QtWaveBackend.h"

#include "../WavFiles.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>

using namespace pellam;

class WavPlaybackTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::string m_wav;

    static bool ServerUp() { return !qEnvironmentVariableIsEmpty("PELLAM_SOUND_SERVER"); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_wav = m_dir.filePath("tone.wav").toStdString();
        std::ofstream(m_wav, std::ios::binary) << test::PcmWav(2, 44100, test::Tone(44100, 2, 3000));
    }

    void firstBufferFinishesAfterItsOwnLength()
    {
        if (!ServerUp())
            QSKIP("no sound server: start it with scripts/lib/services.sh (start_pulse)");
        QtWaveBackend backend;
        QtDispatcher dispatcher;
        WaveOut out(backend, dispatcher);
        QVERIFY(out.GetNumDevs() >= 1);
        QVERIFY(out.Init(44100, 2, 16, -1));
        std::vector<std::int32_t> done;
        std::vector<qint64> at;
        QElapsedTimer clock;
        out.BufferDone = [&](std::int32_t user) {
            done.push_back(user);
            at.push_back(clock.elapsed());
        };
        const std::vector<std::uint8_t> tenth(17992, 0); // 101.995 ms
        QVERIFY(out.WriteSamples(tenth.data(), 17640, 1));
        QVERIFY(out.WriteSamples(tenth.data(), 17992, 2));
        clock.start();
        QVERIFY(out.Play());
        QTRY_COMPARE_WITH_TIMEOUT(done.size(), std::size_t {2}, 3000);
        const qint64 first = at[0];
        const qint64 second = at[1];
        QCOMPARE(done, (std::vector<std::int32_t> {1, 2}));
        QVERIFY2(first >= 90 && first < 600, qPrintable(QString::number(first)));
        // When the queue runs dry the sink's time jumps to the end of what it holds,
        // so the last buffer may be reported up to a sink period early.
        QVERIFY2(second > first && second >= 150 && second < 800, qPrintable(QString::number(second)));
        // Once the sink has played out, the position is every byte given to
        // it: 35632 bytes are 201.995 ms, which rounds to 202.
        QTRY_COMPARE_WITH_TIMEOUT(out.Elapsed(), 202, 2000);
    }

    void playsAtRealTimePaceSeeksAndEnds()
    {
        if (!ServerUp())
            QSKIP("no sound server: start it with scripts/lib/services.sh (start_pulse)");
        QtWaveBackend backend;
        QtDispatcher dispatcher;
        WAVPlayer player(backend, dispatcher);
        QVERIFY(player.SetSelectedDevice(-1).ok());
        QVERIFY(player.FileOpen(m_wav));
        QCOMPARE(player.Duration(), 3000);
        int ends = 0;
        Subscription endWatch = player.EndOfStream.Subscribe([&] { ++ends; });

        QElapsedTimer clock;
        clock.start();
        QVERIFY(player.PlaybackStart());
        QTest::qWait(400);
        const qint64 wall0 = clock.elapsed();
        const std::int32_t played0 = player.Position();
        QTest::qWait(800);
        const qint64 wall = clock.elapsed();
        const std::int32_t played = player.Position();
        const double pace = static_cast<double>(played) / static_cast<double>(wall);
        const double steady = static_cast<double>(played - played0) / static_cast<double>(wall - wall0);
        qInfo("position %d ms after %lld ms of wall time: pace %.3f overall, %.3f after the start", played, wall, pace,
            steady);
        QVERIFY(pace > 0.85 && pace < 1.05);
        QVERIFY(steady > 0.9 && steady < 1.1);

        // Seek to 2 s: the position reads it at once and grows; the last second plays out.
        player.SetPosition(2000);
        QElapsedTimer sinceSeek;
        sinceSeek.start();
        QVERIFY(player.Position() >= 2000 && player.Position() < 2050);
        QTest::qWait(300);
        QVERIFY2(player.Position() > 2100 && player.Position() < 2400, qPrintable(QString::number(player.Position())));

        QTRY_COMPARE_WITH_TIMEOUT(ends, 1, 5000);
        const qint64 tail = sinceSeek.elapsed();
        QVERIFY2(tail >= 900 && tail < 1800, qPrintable(QString::number(tail)));

        // The next start plays from the beginning again (pause and stop are the stress test's).
        QVERIFY(player.PlaybackStart());
        QTest::qWait(500);
        QVERIFY(player.Position() > 300 && player.Position() < 700);
        QVERIFY(player.FileClose());
    }
};

QTEST_GUILESS_MAIN(WavPlaybackTest)
#include "WavPlaybackTest.moc"
