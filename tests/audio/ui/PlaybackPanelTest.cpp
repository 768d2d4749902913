// The playback panel on the virtual-clock sound device; timer ticks are called, never waited for.
#include "audio/ui/PlaybackPanel.h"
#include "audio/WAVPlayer.h"
#include "audio/ui/LoadSequenceDriver.h"
#include "support/MarkedRecording.h"
#include "support/RecordingPrompter.h"
#include "support/TraceOfFile.h"
#include "support/VirtualWaveBackend.h"

#include "Images.h"
#include "support/WavFiles.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <fstream>

using namespace pellam;

namespace {

// A mono 8 kHz file whose samples swing by the second, so its trace is visible.
std::string WriteWav(const QString& path, std::uint32_t seconds)
{
    std::vector<std::int16_t> s(8000u * seconds);
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<std::int16_t>((i / 50) % 2 ? 12000 : -12000);
    std::ofstream(path.toStdString(), std::ios::binary) << test::PcmWav(1, 8000, test::Samples16(s));
    return path.toStdString();
}

// The waveform of a WAV file as the decode traces it, all of it or the first `points`.
std::shared_ptr<DecodedTrace> TraceOf(const std::string& wav, std::size_t points = SIZE_MAX)
{
    const WaveformTrace whole = test::TraceOfFile(wav);
    auto trace = std::make_shared<DecodedTrace>();
    trace->Shape(whole.width);
    trace->Append({whole.points.begin(), whole.points.begin() + std::min(points, whole.points.size())});
    if (points == SIZE_MAX)
        trace->Finish();
    return trace;
}

struct Rig {
    VirtualWaveBackend backend;
    ManualDispatcher loop;
    WAVPlayer player {backend, loop};
    test::RecordingPrompter prompter;
    PlaybackPanel panel {player, prompter};
    QTemporaryDir work;
    FolderPath folder {work.path().toStdString()};
    std::unique_ptr<DecodeCache> cache;
    std::unique_ptr<LoadSequenceDriver> driver;

    Rig()
    {
        panel.resize(805, 140); // a waveform 800 pixels wide
        panel.show();
    }
    // The load sequence with its decodes stepped here, working in a folder of its own.
    LoadSequence& Sequence()
    {
        cache = std::make_unique<DecodeCache>(folder);
        driver
            = std::make_unique<LoadSequenceDriver>(panel, player, *cache, prompter, LoadSequenceDriver::Selection {});
        driver->sequence().ThreadedDecode = false;
        return driver->sequence();
    }
    // Opens the file and draws its whole waveform.
    bool OpenAndDraw(const std::string& wav)
    {
        if (!player.FileOpen(wav))
            return false;
        panel.PopulateGFX(TraceOf(wav));
        return panel.TraceComplete();
    }
    QImage Picture() const { return panel.PlayGRFX()->image(); }
    bool Following() const { return panel.findChild<QTimer*>("tmrPos")->isActive(); }
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

// The wheel turned on the waveform at pixel x.
void Wheel(QWidget* graph, int x, QPoint angleDelta, Qt::KeyboardModifiers modifiers = {})
{
    QWheelEvent event(QPointF(x, 10), graph->mapToGlobal(QPointF(x, 10)), {}, angleDelta, Qt::NoButton, modifiers,
        Qt::NoScrollPhase, false);
    QApplication::sendEvent(graph, &event);
}

// The colours of row 2 at columns xs, named in order of appearance, black as ".".
QString Pattern(const QImage& image, std::initializer_list<int> xs)
{
    QList<QRgb> seen {qRgb(0, 0, 0)};
    QString out;
    for (int x : xs) {
        if (!seen.contains(image.pixel(x, 2)))
            seen.append(image.pixel(x, 2));
        out += QString(".abc")[seen.indexOf(image.pixel(x, 2))];
    }
    return out;
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
        QVERIFY(r.OpenAndDraw(wav));
        const QImage before = r.Picture();
        QVERIFY(GreenPixels(before, 0) > 100);
        // 10 s over 800 pixels: each drawing erases the cursor before it (5000
        // and 7000 ms leave no trace), except the one at 0, which stays.
        for (float ms : {5000.0f, 7000.0f, 0.0f, 2500.0f}) {
            r.panel.CurrentPosition = ms;
            r.panel.PlaceCur();
        }
        QCOMPARE(r.Picture(), WithCursors(before, {0, 200}));

        // A cursor placed while the waveform is still growing (playback from
        // an offset) stays where it belongs and the lines drawn under it
        // later leave nothing behind.
        Rig early;
        QVERIFY(early.player.FileOpen(wav));
        auto growing = TraceOf(wav, 0);
        early.panel.PopulateGFX(growing);
        early.panel.CurrentPosition = 5000;
        early.panel.PlaceCur(); // on the grid
        QVERIFY(early.panel.findChild<QTimer*>("TraceTIM")->isActive());
        const auto whole = TraceOf(wav);
        std::vector<TracePoint> points;
        whole->CopyFrom(0, points);
        growing->Append({points.begin(), points.begin() + 900});
        early.panel.FollowTrace();
        growing->Append({points.begin() + 900, points.end()});
        growing->Finish();
        early.panel.FollowTrace();
        QVERIFY(early.panel.TraceComplete() && !early.panel.findChild<QTimer*>("TraceTIM")->isActive());
        QCOMPARE(std::pair(early.Picture(), early.panel.CursorX), std::pair(WithCursors(before, {400}), 5000));
    }

    void buttonsFollowThePlayer()
    {
        Rig r;
        QVERIFY(r.Buttons(true, false, false));
        r.panel.PlayClicked(); // nothing loaded
        QCOMPARE(std::pair(r.prompter.beeps, r.panel.Status()),
            std::pair(1, StatusLine {"No Sound File Loaded!", kStatusYellow}));

        QVERIFY(r.OpenAndDraw(WriteWav(m_dir.filePath("one.wav"), 1)));
        r.panel.PlayClicked();
        QVERIFY(r.Buttons(false, true, true) && r.Following());
        r.panel.PauseClicked();
        QVERIFY(r.Buttons(true, false, true) && !r.Following());
        r.panel.PlayClicked();
        for (int i = 0; i < 1000 && r.player.Status() == PlayerStatus::Playing; ++i) {
            r.backend.PlayAll();
            r.loop.RunPending();
        }
        QVERIFY(r.Buttons(true, false, false) && !r.Following());
    }

    void mouseSeeksAndSetsTheVolume()
    {
        Rig r;
        QVERIFY(r.OpenAndDraw(WriteWav(m_dir.filePath("eighty.wav"), 80)));
        QWidget* graph = r.panel.PlayGRFX();
        // 80 s over 800 pixels: 100 ms a pixel. Dragging moves the cursor, not the player.
        r.panel.PlayClicked();
        QTest::mousePress(graph, Qt::LeftButton, {}, QPoint(300, 10));
        QCOMPARE(r.player.Status(), PlayerStatus::Stopped);
        QVERIFY(r.panel.Dragging && r.panel.ResumeAfterSeek);
        QTest::mouseMove(graph, QPoint(500, 10));
        QCOMPARE(std::pair(r.panel.lblTime()->text(), r.player.Position()), std::pair(QString("0:50/1:20"), 0));
        QTest::mouseRelease(graph, Qt::LeftButton, {}, QPoint(625, 10));
        QCOMPARE(std::tuple(r.player.Position(), r.panel.CursorX, r.player.Status()),
            std::tuple(62000, 62000, PlayerStatus::Playing));
        QVERIFY(!r.panel.Dragging && !r.panel.ResumeAfterSeek);

        // The volume set by mouse is lowered by one at the next drawing.
        r.panel.VolumeMouse(65534.6);
        QCOMPARE(r.player.Volume(), 65535);
        r.panel.PopulateGFX(TraceOf(WriteWav(m_dir.filePath("vol.wav"), 1)));
        QCOMPARE(std::pair(r.player.Volume(), r.panel.Vol()->Drawn()), std::pair(65534, std::optional(65534)));
    }

    void wheelZoomsAroundThePointerAndMouseSeeksThroughTheView()
    {
        Rig r;
        const std::string wav = WriteWav(m_dir.filePath("eighty.wav"), 80);
        QVERIFY(r.player.FileOpen(wav));
        const auto trace = TraceOf(wav);
        r.panel.PopulateGFX(trace);
        WaveformPicture* graph = r.panel.PlayGRFX();
        // Two notches in at pixel 300 (30 s of 80 s): a quarter of the recording, 30 s still at pixel 300.
        Wheel(graph, 300, {0, 240});
        QCOMPARE(std::tuple(graph->ToScaleX(0), graph->ToScaleX(300), graph->ToScaleX(800)),
            std::tuple(22500.0, 30000.0, 42500.0));
        // A click at pixel 500 seeks to the time shown there, and the cursor is drawn there.
        const QImage before = r.Picture();
        QTest::mouseClick(graph, Qt::LeftButton, {}, QPoint(500, 10));
        QCOMPARE(std::pair(r.player.Position(), r.panel.CursorX), std::pair(35000, 35000));
        QCOMPARE(r.Picture(), WithCursors(before, {500}));
        // Shift with the wheel pans a tenth a notch; a redraw of the same trace keeps the zoom, a new one is whole.
        Wheel(graph, 300, {0, -120}, Qt::ShiftModifier);
        QCOMPARE(graph->ToScaleX(0), 24500.0);
        r.panel.PopulateGFX(trace);
        QCOMPARE(graph->ToScaleX(0), 24500.0);
        r.panel.PopulateGFX(TraceOf(wav));
        QCOMPARE(std::pair(graph->ToScaleX(0), graph->ToScaleX(800)), std::pair(0.0, 80000.0));
    }

    void viewPagesAfterThePlayerAndShowsTheLoop()
    {
        Rig r;
        QVERIFY(r.OpenAndDraw(WriteWav(m_dir.filePath("eighty.wav"), 80)));
        WaveformPicture* graph = r.panel.PlayGRFX();
        Wheel(graph, 300, {0, 240}); // 22.5 to 42.5 s, 25 ms a pixel
        // A and B at 25 and 30 s: two lines, shaded between, the cursor drawn over the shade.
        r.panel.ShowLoop(25000, 30000);
        QCOMPARE(Pattern(r.Picture(), {50, 100, 101, 200, 299, 300, 350}), QString(".abbba."));
        const QImage shaded = r.Picture();
        r.panel.CurrentPosition = 27500;
        r.panel.PlaceCur();
        QCOMPARE(r.Picture(), WithCursors(shaded, {200}));

        // The position inside the view moves the cursor; past its right edge the view pages.
        r.player.SetPosition(42000);
        r.panel.tmrPosTick();
        QCOMPARE(graph->ToScaleX(0), 22500.0);
        r.player.SetPosition(43000);
        r.panel.tmrPosTick();
        QCOMPARE(std::tuple(graph->ToScaleX(0), graph->ToPixelX(r.panel.CursorX)), std::tuple(41000.0, 80));
        // The loop is out of view; A alone is a line; no marks, nothing.
        QCOMPARE(Pattern(r.Picture(), {50, 210, 350}), QString("..."));
        r.panel.ShowLoop(50500, std::nullopt);
        QCOMPARE(Pattern(r.Picture(), {370, 380, 395}), QString(".a."));
        r.panel.ShowLoop(std::nullopt, std::nullopt);
        QCOMPARE(Pattern(r.Picture(), {370, 380, 395}), QString("..."));
    }

    void resizeRedrawReopensWithoutPlayingOrDecodingAgain()
    {
        Rig r;
        LoadSequence& seq = r.Sequence();
        const std::string mp3 = test::EncodeMarkedSeconds(r.folder.str(), "four.mp3", 4);
        QVERIFY(!mp3.empty());
        // A second listener to the redraw request beside the load sequence.
        int regraphs = 0;
        connect(&r.panel, &PlaybackPanel::RegraphRequested, this, [&] { ++regraphs; });

        // Playing a recording whose decode has not ended: the resize stops it
        // and reopens it through the wait timer, the decode going on.
        seq.ListDoubleClick(RecordingRef {1, "four.mp3", mp3});
        seq.WaitForItTick();
        RecordingDecode* decode = seq.Decoding();
        QVERIFY(decode && r.player.Status() == PlayerStatus::Playing);
        decode->Step(); // opened
        r.panel.resize(405, 140);
        r.panel.restartReGraph();
        QVERIFY(r.panel.findChild<QTimer*>("ReGraphTIM")->isActive());
        r.panel.ReGraphTick();
        QCOMPARE(std::pair(regraphs, r.player.Status()), std::pair(1, PlayerStatus::Stopped));
        QVERIFY(seq.WaitTimer().enabled);
        seq.WaitForItTick();
        QCOMPARE(std::tuple(r.player.Status(), seq.Decoding(), r.Picture().width()),
            std::tuple(PlayerStatus::Stopped, decode, 400));
        while (decode->Step()) { }
        r.panel.FollowTrace();
        QVERIFY(r.panel.TraceComplete());
        // Drawn at the new width: the trace of 4 s of 8 kHz (records 45.. of
        // a 500-record file) ends near pixel 365.
        QVERIFY(GreenPixels(r.Picture(), 355) > 0 && GreenPixels(r.Picture(), 375) == 0);
    }

    void supersededWaveformIsNeverDrawn()
    {
        // The long file's trace runs to the right edge, the short one's ends near pixel 730.
        const std::string longWav = WriteWav(m_dir.filePath("long.wav"), 300);
        const std::string shortWav = WriteWav(m_dir.filePath("short.wav"), 4);
        Rig r;
        auto growing = TraceOf(longWav, 10);
        r.panel.PopulateGFX(growing);
        QVERIFY(r.OpenAndDraw(shortWav));
        const QImage drawn = r.Picture();
        QVERIFY(GreenPixels(drawn, 700) > 0 && GreenPixels(drawn, 750) == 0);
        // Whatever the older trace still gains changes nothing.
        growing->Append(std::vector<TracePoint>(100, TracePoint {36000, 1000}));
        growing->Finish();
        r.panel.FollowTrace();
        QCOMPARE(r.Picture(), drawn);

        // The grid drawn after a failed load is not painted over by a trace still growing.
        auto other = TraceOf(longWav, 10);
        r.panel.PopulateGFX(other);
        r.panel.DrawGrid();
        const QImage grid = r.Picture();
        other->Append(std::vector<TracePoint>(100, TracePoint {36000, 1000}));
        r.panel.FollowTrace();
        QCOMPARE(std::tuple(r.Picture(), GreenPixels(grid, 0), r.panel.TraceComplete()), std::tuple(grid, 0, false));
    }

    void playIsRefusedWhileTheSequenceConvertsNotByTheLabel()
    {
        Rig r;
        LoadSequence& seq = r.Sequence();
        // The label's text alone does not refuse Play.
        QVERIFY(r.player.FileOpen(WriteWav(m_dir.filePath("two.wav"), 2)));
        r.panel.SetStatus({"Converting MP3 to WAV", kStatusYellow});
        r.panel.PlayClicked();
        QCOMPARE(r.player.Status(), PlayerStatus::Playing);
        // While the decoder converts, Play does nothing and the label stays.
        seq.ListClick(RecordingRef {1, "a.mp3", r.folder.Join("a.mp3")});
        QCOMPARE(r.player.Status(), PlayerStatus::Stopped);
        r.panel.PlayClicked();
        QCOMPARE(
            std::pair(r.panel.Status().text, r.prompter.beeps), std::pair(std::string("Converting MP3 to WAV"), 0));
        r.panel.SetPointer(MousePointer::Normal);
    }
};

QTEST_MAIN(PlaybackPanelTest)
#include "PlaybackPanelTest.moc"
