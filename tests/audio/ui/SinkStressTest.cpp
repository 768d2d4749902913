// The real sound server (the null sink of the test services): stop, pause and
// seek again and again, and after every step check that the position moves
// and that sound comes out of the sink, heard on its monitor through parec;
// the pace of the position, the end of the file and short sounds.
#include "audio/WAVPlayer.h"
#include "audio/ui/QtDispatcher.h"
#include "audio/ui/QtWaveBackend.h"

#include "support/SinkMonitor.h"
#include "support/WavFiles.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>
#include <random>

using namespace pellam;

namespace {

constexpr int kToneMs = 60000;
constexpr int kMonitorRate = 11025;

} // namespace

class SinkStressTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::string m_wav;
    test::SinkMonitor m_monitor {kMonitorRate};

    // After a start or a seek from `from` ms: the position must move on by
    // 60 ms, and then the monitor must hear at least 40 ms more of the tone,
    // which can only be the sound of this start.
    bool Advances(const WAVPlayer& player, std::int32_t from, int cycle, const char* what)
    {
        if (!QTest::qWaitFor([&] { return player.Position() >= from + 60; }, 2000)) {
            qWarning(
                "cycle %d (%s): the position stays at %d ms, started from %d ms", cycle, what, player.Position(), from);
            return false;
        }
        const qint64 wanted = m_monitor.LoudSamples() + kMonitorRate * 40 / 1000;
        if (!QTest::qWaitFor([&] { return m_monitor.LoudSamples() >= wanted; }, 2000)) {
            qWarning("cycle %d (%s): the position reads %d ms but the sink is silent", cycle, what, player.Position());
            return false;
        }
        return true;
    }

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("PELLAM_SOUND_SERVER"))
            QSKIP("no sound server: start it with scripts/lib/services.sh (start_pulse)");
        m_wav = m_dir.filePath("tone.wav").toStdString();
        std::ofstream(m_wav, std::ios::binary) << test::PcmWav(2, 44100, test::Tone(44100, 2, kToneMs));
        QVERIFY2(m_monitor.Start(), "parec (pulseaudio-utils) could not be started");
    }

    // A sound shorter than the server's start threshold, written to a stream
    // restarted while playing (as a seek near the end does), is played all
    // the same, not only counted as done.
    void shortSoundIsHeard()
    {
        QtWaveBackend backend;
        QtDispatcher dispatcher;
        WaveOut out(backend, dispatcher);
        QVERIFY(out.Init(44100, 2, 16, -1));
        int done = 0;
        qint64 doneAt = 0;
        QElapsedTimer clock;
        out.BufferDone = [&](std::int32_t) { ++done, doneAt = clock.elapsed(); };
        const std::string tone = test::Tone(44100, 2, 100);
        QVERIFY(out.Play() && out.ClearBufferQueue());
        const qint64 loud = m_monitor.LoudSamples();
        clock.start();
        QVERIFY(out.WriteSamples(tone.data(), static_cast<std::int32_t>(tone.size())));
        QTRY_COMPARE_WITH_TIMEOUT(done, 1, 2000);
        QVERIFY2(doneAt >= 90, qPrintable(QString::number(doneAt))); // reported once played, not when written
        QTRY_VERIFY_WITH_TIMEOUT(m_monitor.LoudSamples() - loud >= kMonitorRate * 60 / 1000, 2000);
        QTRY_COMPARE_WITH_TIMEOUT(out.Elapsed(), 100, 2000);
    }

    // Stop then Play, Pause then Play and seeks while playing, in an order
    // and with waits of 0 to 300 ms drawn from a fixed seed; the position
    // keeps real-time pace, and the last second plays out to the end.
    void mixedCyclesKeepPlaying()
    {
        QtWaveBackend backend;
        QtDispatcher dispatcher;
        WAVPlayer player(backend, dispatcher);
        QVERIFY(player.SetSelectedDevice(-1).ok() && player.FileOpen(m_wav));
        int ends = 0;
        const Subscription endSubscription = player.EndOfStream.Subscribe([&] { ++ends; });
        QElapsedTimer clock;
        clock.start();
        QVERIFY(player.PlaybackStart() && Advances(player, 0, 0, "first start"));
        QTRY_VERIFY_WITH_TIMEOUT(player.Position() >= 1000, 20000); // a second of sound, however long it takes
        const double pace = static_cast<double>(player.Position()) / static_cast<double>(clock.elapsed());
        QVERIFY2(pace > 0.85 && pace < 1.05, qPrintable(QString::number(pace)));

        std::mt19937 rng(20261206u);
        int counts[3] = {};
        clock.restart();
        for (int cycle = 1; cycle <= 200; ++cycle) {
            const auto kind = rng() % 3;
            const auto wait = static_cast<int>(rng() % 301);
            ++counts[kind];
            if (kind == 0) {
                QVERIFY(player.PlaybackStop());
                QCOMPARE(player.Position(), 0);
                QTest::qWait(wait);
                QVERIFY(player.PlaybackStart() && Advances(player, 0, cycle, "stop, play"));
            } else if (kind == 1) {
                QVERIFY(player.PlaybackPause());
                QTest::qWait(wait);
                const std::int32_t held = player.Position();
                QVERIFY(player.PlaybackStart() && Advances(player, held, cycle, "pause, play"));
            } else {
                QTest::qWait(wait);
                const auto target = static_cast<std::int32_t>(rng() % 40000);
                player.SetPosition(target);
                QVERIFY(player.Position() >= target && player.Position() < target + 50);
                QVERIFY(Advances(player, target, cycle, "seek"));
            }
            QCOMPARE(player.Status(), PlayerStatus::Playing);
        }
        qInfo("200 cycles (%d stop, %d pause, %d seek) in %lld ms", counts[0], counts[1], counts[2], clock.elapsed());
        QCOMPARE(ends, 0);
        player.SetPosition(kToneMs - 1000);
        clock.restart();
        QTRY_COMPARE_WITH_TIMEOUT(ends, 1, 5000);
        QVERIFY2(clock.elapsed() >= 900 && clock.elapsed() < 1800, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(player.FileClose());
    }
};

QTEST_GUILESS_MAIN(SinkStressTest)
#include "SinkStressTest.moc"
