// The playback panel on the virtual-clock sound device; timer ticks are called, never waited for.
#include "audio/ui/PlaybackPanel.h"
#include "audio/WAVPlayer.h"
#include "audio/ui/LoadSequenceDriver.h"
#include "support/RecordingPrompter.h"
#include "support/VirtualWaveBackend.h"

#include "../WavFiles.h"
#include "Images.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <fstream>

using namespace pellam;

namespace {

constexpr int kRate = 8000;

// A mono file whose samples swing by the second, so its trace is visible.
std::string WriteWav(const QString& path, std::uint32_t seconds)
{
    std::vector<std::int16_t> s(static_cast<std::size_t>(kRate) * seconds);
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<std::int16_t>((i / 50) % 2 ? 12000 : -12000);
    std::ofstream(path.toStdString(), std::ios::binary) << test::PcmWav(1, kRate, test::Samples16(s));
    return path.toStdString();
}

// A decoder that starts and never finishes, or is missing.
struct StubDecoder : Decoder {
    DecoderStart::Outcome outcome = DecoderStart::Outcome::Missing;
    int starts = 0;
    DecoderStart Start(const std::string&, const std::vector<std::string>&) override
    {
        ++starts;
        return {outcome, 2};
    }
    bool IsRunning() const override { return outcome == DecoderStart::Outcome::Started; }
};

struct Rig {
    VirtualWaveBackend backend;
    ManualDispatcher loop;
    WAVPlayer player {backend, loop};
    test::RecordingPrompter prompter;
    PlaybackPanel panel {player, prompter};

    Rig()
    {
        panel.resize(805, 140); // a waveform 800 pixels wide
        panel.show();
    }
    // Draws the waveform and waits for the trace read in the background.
    bool Draw(const std::string& wav)
    {
        panel.PopulateGFX(wav);
        return QTest::qWaitFor([this] { return !panel.TracePending(); }, 10000);
    }
    QString Time() const { return panel.lblTime()->text(); }
    // Plays the virtual device until the player stops by itself.
    void PlayToEnd()
    {
        for (int i = 0; i < 1000 && player.Status() == PlayerStatus::Playing; ++i) {
            backend.PlayAll();
            loop.RunPending();
        }
    }
    bool Buttons(bool play, bool pause, bool stop) const
    {
        return panel.PlayButton()->isEnabled() == play && panel.PauseButton()->isEnabled() == pause
            && panel.StopButton()->isEnabled() == stop;
    }
};

// The picture with the two-pixel cursor flipped in at each of xs.
QImage WithCursors(QImage image, std::initializer_list<int> xs)
{
    for (int x : xs)
        for (int c : {x, x + 1})
            for (int y = 0; y < image.height(); ++y)
                image.setPixel(c, y, image.pixel(c, y) ^ 0x00FF0000u);
    return image;
}

} // namespace

class PlaybackPanelTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void cursorIsDrawnByExclusiveOr()
    {
        Rig r;
        const std::string wav = WriteWav(m_dir.filePath("ten.wav"), 10);
        QVERIFY(r.player.FileOpen(wav));
        QVERIFY(r.Draw(wav));
        const QImage before = r.panel.PlayGRFX()->image();
        QVERIFY(GreenPixels(before, 0) > 100);

        // 10 s over 800 pixels: each drawing erases the cursor before it (5000
        // and 7000 ms leave no trace), except the one at 0, which stays.
        for (float ms : {5000.0f, 7000.0f, 0.0f, 2500.0f}) {
            r.panel.CurrentPosition = ms;
            r.panel.PlaceCur();
            if (ms == 0)
                QCOMPARE(r.panel.CursorX, 0);
        }
        // The cursor is two pixels wide, drawn by flipping the red bits.
        QCOMPARE(r.panel.PlayGRFX()->image(), WithCursors(before, {0, 200}));

        // A cursor placed while the waveform is still being read (playback
        // from an offset) ends up where it belongs and leaves nothing behind.
        Rig early;
        QVERIFY(early.player.FileOpen(wav));
        early.panel.PopulateGFX(wav);
        early.panel.PlaceCur(); // at 0, on the grid
        QVERIFY(QTest::qWaitFor([&] { return !early.panel.TracePending(); }, 10000));
        QCOMPARE(early.panel.PlayGRFX()->image(), WithCursors(before, {0}));
        QCOMPARE(early.panel.CursorX, 0);
    }

    void buttonsFollowThePlayer()
    {
        Rig r;
        QVERIFY(r.Buttons(true, false, false));
        r.panel.PlayClicked(); // nothing loaded
        QCOMPARE(r.prompter.beeps, 1);
        QCOMPARE(r.panel.Status(), (StatusLine {"No Sound File Loaded!", kStatusYellow}));
        r.panel.StopClicked(); // the device is closed, so stopping fails
        QCOMPARE(r.prompter.messages.size(), std::size_t(1));
        QCOMPARE(r.prompter.messages[0], (Message {"", "Couldn't stop!", MessageIcon::Exclamation}));

        const std::string wav = WriteWav(m_dir.filePath("one.wav"), 1);
        QVERIFY(r.player.FileOpen(wav));
        QVERIFY(r.Draw(wav));
        r.panel.PlayClicked();
        QVERIFY(r.Buttons(false, true, true));
        QVERIFY(r.panel.tmrPos().isActive());
        r.panel.PauseClicked();
        QVERIFY(r.Buttons(true, false, true));
        QVERIFY(!r.panel.tmrPos().isActive());

        r.panel.PlayClicked();
        r.backend.Advance(500);
        r.loop.RunPending();
        r.panel.tmrPosTick();
        QCOMPARE(r.panel.CurrentPosition, 500.0f);
        QCOMPARE(r.Time(), QString("0:00/0:01")); // 0.5 s rounds to even

        r.PlayToEnd();
        QVERIFY(r.Buttons(true, false, false));
        QVERIFY(!r.panel.tmrPos().isActive());
    }

    void mouseReleaseSeeksToTheNearestSecond()
    {
        Rig r;
        const std::string wav = WriteWav(m_dir.filePath("eighty.wav"), 80);
        QVERIFY(r.player.FileOpen(wav));
        QVERIFY(r.Draw(wav));
        QWidget* graph = r.panel.PlayGRFX();
        // 80 s over 800 pixels: 100 ms a pixel.
        r.panel.PlayClicked();
        QTest::mousePress(graph, Qt::LeftButton, {}, QPoint(300, 10));
        QCOMPARE(r.player.Status(), PlayerStatus::Stopped);
        QVERIFY(r.panel.Dragging);
        QVERIFY(r.panel.ResumeAfterSeek);
        QTest::mouseMove(graph, QPoint(500, 10)); // dragging moves the cursor, not the player
        QCOMPARE(r.panel.CurrentPosition, 50000.0f);
        QCOMPARE(r.Time(), QString("0:50/1:20"));
        QCOMPARE(r.player.Position(), 0);
        QTest::mouseRelease(graph, Qt::LeftButton, {}, QPoint(625, 10));
        QCOMPARE(r.player.Position(), 62000);
        QCOMPARE(r.panel.CursorX, 62000);
        QCOMPARE(r.player.Status(), PlayerStatus::Playing);
        QVERIFY(!r.panel.Dragging);
        QVERIFY(!r.panel.ResumeAfterSeek);
    }

    void volumeByMouseIsLoweredAtTheNextDrawing()
    {
        Rig r;
        const std::string wav = WriteWav(m_dir.filePath("vol.wav"), 1);
        QVERIFY(r.player.FileOpen(wav));
        r.panel.VolumeMouse(65534.6);
        QCOMPARE(r.player.Volume(), 65535);
        QVERIFY(r.Draw(wav));
        QCOMPARE(r.player.Volume(), 65534);
        QCOMPARE(r.panel.Vol()->Drawn(), std::optional<std::int32_t>(65534));
    }

    void resizeRedrawReopensWithoutPlaying()
    {
        QTemporaryDir work;
        Paths paths;
        paths.Evidence = work.path().toStdString();
        paths.Temp = work.path().toStdString() + "/";

        Rig r;
        StubDecoder decoder;
        LoadSequenceDriver driver(
            r.panel, r.player, decoder, paths, r.prompter, [] { return ProcessList(std::vector<ProcessNames> {}); });
        const std::string wav = WriteWav(QString::fromStdString(driver.sequence().TempWavPath()), 4);
        // A second listener to the redraw request beside the load sequence.
        int regraphs = 0;
        connect(&r.panel, &PlaybackPanel::RegraphRequested, this, [&] { ++regraphs; });

        // Playing a loaded recording: the resize stops it and reopens it through the wait timer.
        QVERIFY(r.player.FileOpen(wav));
        QVERIFY(r.Draw(wav));
        r.panel.PlayClicked();
        QCOMPARE(r.player.Status(), PlayerStatus::Playing);
        r.panel.resize(405, 140);
        r.panel.restartReGraph();
        QVERIFY(r.panel.ReGraphTIM().isActive());
        r.panel.ReGraphTick();
        QCOMPARE(regraphs, 1);
        QCOMPARE(r.player.Status(), PlayerStatus::Stopped);
        QVERIFY(driver.Wait_For_It_TIMER().isActive());
        driver.sequence().WaitForItTick();
        QVERIFY(QTest::qWaitFor([&] { return !r.panel.TracePending(); }, 10000));
        QCOMPARE(r.player.Status(), PlayerStatus::Stopped);
        QCOMPARE(decoder.starts, 0);
        QCOMPARE(r.panel.PlayGRFX()->image().width(), 400);
        // Redrawn for the new width: the trace (records 45.. of a 500-record
        // file) ends near pixel 365, where the old picture ran on to the edge.
        const QImage image = r.panel.PlayGRFX()->image();
        QVERIFY(GreenPixels(image, 355) > 0);
        QCOMPARE(GreenPixels(image, 375), 0);
    }

    void supersededWaveformIsNeverDrawn()
    {
        Rig r;
        // The long file's trace runs to the right edge, the short one's ends near pixel 730.
        const std::string longWav = WriteWav(m_dir.filePath("long.wav"), 300);
        const std::string shortWav = WriteWav(m_dir.filePath("short.wav"), 4);
        QVERIFY(r.player.FileOpen(shortWav));
        r.panel.SetPointer(MousePointer::Busy);
        r.panel.PopulateGFX(longWav);
        QVERIFY(r.Draw(shortWav));
        QCOMPARE(r.panel.Pointer(), MousePointer::Normal);
        const QImage drawn = r.panel.PlayGRFX()->image();
        QVERIFY(GreenPixels(drawn, 700) > 0);
        QCOMPARE(GreenPixels(drawn, 750), 0);
        QTest::qWait(300); // whatever the older read still delivers changes nothing
        QCOMPARE(r.panel.PlayGRFX()->image(), drawn);

        // The grid drawn after a failed load is not painted over by a read in flight.
        r.panel.PopulateGFX(longWav);
        r.panel.DrawGrid();
        QVERIFY(!r.panel.TracePending());
        const QImage grid = r.panel.PlayGRFX()->image();
        QTest::qWait(300);
        QCOMPARE(r.panel.PlayGRFX()->image(), grid);
        QCOMPARE(GreenPixels(grid, 0), 0);
    }

    void playIsRefusedWhileTheSequenceConvertsNotByTheLabel()
    {
        QTemporaryDir work;
        Paths paths;
        paths.Temp = work.path().toStdString() + "/";
        Rig r;
        const std::string wav = WriteWav(m_dir.filePath("two.wav"), 2);
        StubDecoder decoder;
        decoder.outcome = DecoderStart::Outcome::Started;
        LoadSequenceDriver driver(
            r.panel, r.player, decoder, paths, r.prompter, [] { return ProcessList(std::vector<ProcessNames> {}); });

        // The label's text alone does not refuse Play.
        QVERIFY(r.player.FileOpen(wav));
        r.panel.SetStatus({"Converting MP3 to WAV", kStatusYellow});
        r.panel.PlayClicked();
        QCOMPARE(r.player.Status(), PlayerStatus::Playing);

        // While the decoder converts, Play does nothing and the label stays.
        driver.sequence().ListClick(RecordingRef {1, "a.mp3", paths.Temp + "a.mp3"});
        QCOMPARE(r.player.Status(), PlayerStatus::Stopped);
        r.panel.PlayClicked();
        QCOMPARE(r.panel.Status().text, std::string("Converting MP3 to WAV"));
        QCOMPARE(r.prompter.beeps, 0);
        r.panel.SetPointer(MousePointer::Normal);
    }
};

QTEST_MAIN(PlaybackPanelTest)
#include "PlaybackPanelTest.moc"
