// Recordings on the real sound server (the null sink of the test services),
// heard on the sink's monitor through parec: a recording sounds before its
// decode has got anywhere, a seek far past the decoded part is heard at the
// right second, and going back to a decoded recording plays its kept file.
#include "audio/DecodeCache.h"
#include "audio/WAVPlayer.h"
#include "audio/ui/LoadSequenceDriver.h"
#include "audio/ui/PlaybackPanel.h"
#include "audio/ui/QtDispatcher.h"
#include "audio/ui/QtWaveBackend.h"

#include "support/MarkedRecording.h"
#include "support/RecordingPrompter.h"
#include "support/SinkMonitor.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

using namespace pellam;

namespace {

struct Rig {
    QtDispatcher dispatcher;
    QtWaveBackend backend;
    WAVPlayer player {backend, dispatcher};
    test::RecordingPrompter prompter;
    PlaybackPanel panel {player, prompter};
    QTemporaryDir work;
    FolderPath folder {work.path().toStdString()};
    DecodeCache cache {folder};
    LoadSequenceDriver driver {panel, player, cache, prompter, {}};
    LoadSequence& seq = driver.sequence();

    Rig()
    {
        panel.resize(805, 140);
        panel.show();
    }
};

} // namespace

class StreamingPlaybackTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    test::SinkMonitor m_monitor {8000};
    std::string m_long;

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("PELLAM_SOUND_SERVER"))
            QSKIP("no sound server: start it with scripts/lib/services.sh (start_pulse)");
        m_long = test::EncodeMarkedSeconds(m_dir.path().toStdString(), "long.mp3", 180);
        QVERIFY2(!m_long.empty(), "lame could not make the recording");
        QVERIFY2(m_monitor.Start(), "parec (pulseaudio-utils) could not be started");
    }

    void soundsBeforeItsDecodeAndSeeksPastTheDecodedPart()
    {
        Rig r;
        r.seq.ThreadedDecode = false; // the decode moves only when stepped here
        r.seq.ListDoubleClick(RecordingRef {1, "long.mp3", m_long});
        QTRY_COMPARE(r.player.Status(), PlayerStatus::Playing);
        QTRY_VERIFY_WITH_TIMEOUT(m_monitor.LastSecond() == 1, 10000);
        RecordingDecode* decode = r.seq.Decoding();
        QVERIFY(decode);
        QCOMPARE(decode->Status().phase, DecodePhase::Opening);

        // Scanned and a step decoded (about half a minute at 8 kHz); a click at
        // 2:30 on the waveform plays 2:30.
        for (int i = 0; i < 3; ++i)
            decode->Step();
        QVERIFY(decode->Status().decoded < 8000 * 60);
        QCOMPARE(r.panel.PlayGRFX()->ScaleWidth(), 180000.0);
        r.panel.GraphMouseDown(150000);
        r.panel.GraphMouseUp(150000);
        QTRY_VERIFY_WITH_TIMEOUT(m_monitor.LastSecond() == 150, 10000);
        QVERIFY(decode->Status().decoded < 8000 * 60);
        r.panel.StopClicked();
    }

    void goingBackPlaysTheKeptFileWithoutDecoding()
    {
        Rig r;
        const std::string other = test::EncodeMarkedSeconds(m_dir.path().toStdString(), "other.mp3", 20);
        r.seq.ListDoubleClick(RecordingRef {1, "long.mp3", m_long});
        QTRY_COMPARE(r.player.Status(), PlayerStatus::Playing);
        // The decode runs on its own thread, watched by the window's timer.
        QTRY_VERIFY_WITH_TIMEOUT(r.cache.Count() == 1 && r.panel.TraceComplete(), 30000);
        r.seq.ListDoubleClick(RecordingRef {2, "other.mp3", other});
        QTRY_VERIFY(r.seq.Decoding() && r.player.Status() == PlayerStatus::Playing);
        r.seq.ListDoubleClick(RecordingRef {1, "long.mp3", m_long});
        QTRY_VERIFY(r.seq.PlaysKeptFile() && r.player.Status() == PlayerStatus::Playing);
        QCOMPARE(std::pair(r.seq.Decoding(), r.panel.TraceComplete()),
            std::pair(static_cast<RecordingDecode*>(nullptr), true));
        r.panel.GraphMouseDown(120000);
        r.panel.GraphMouseUp(120000);
        QTRY_VERIFY_WITH_TIMEOUT(m_monitor.LastSecond() == 121, 10000);
        r.panel.StopClicked();
    }

    // Ten seconds at 1.5× last 6.7 s of sound, the cursor runs to the end of
    // the waveform, and the end arrives once.
    void aStretchedRecordingEndsInItsShorterTimeWithTheCursorAtTheEnd()
    {
        Rig r;
        const std::string ten = test::EncodeMarkedSeconds(m_dir.path().toStdString(), "ten.mp3", 10);
        r.player.SetSpeed(1.5);
        double furthest = 0;
        connect(&r.panel, &PlaybackPanel::positionShown, &r.panel,
            [&](double ms) { furthest = std::max(furthest, ms); });
        int ends = 0;
        QElapsedTimer played;
        Subscription started = r.player.StatusChanged.Subscribe([&](PlayerStatus s) {
            if (s == PlayerStatus::Playing)
                played.start();
        });
        Subscription ended = r.player.EndOfStream.Subscribe([&] { ++ends; });
        r.seq.ListDoubleClick(RecordingRef {1, "ten.mp3", ten});
        QTRY_VERIFY_WITH_TIMEOUT(ends == 1, 20000);
        const qint64 took = played.elapsed();
        const std::int32_t length = r.player.Duration();
        qInfo("%lld ms of sound for %d ms at 1.5x; the cursor reached %.0f ms", took, length, furthest);
        QVERIFY2(std::abs(static_cast<double>(took) - length / 1.5) <= 0.05 * length / 1.5,
            qPrintable(QString("%1 ms of sound for %2 ms at 1.5x").arg(took).arg(length)));
        QVERIFY2(furthest >= length - 100, qPrintable(QString("the cursor stopped at %1 of %2").arg(furthest).arg(length)));
        QTRY_VERIFY(r.player.Status() == PlayerStatus::Stopped);
        QCOMPARE(ends, 1);
    }
};

QTEST_MAIN(StreamingPlaybackTest)
#include "StreamingPlaybackTest.moc"
