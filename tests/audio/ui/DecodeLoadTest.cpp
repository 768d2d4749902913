// The whole load: a real MP3 made at test time, the real decoder started as a
// child process, the load sequence on real timers, the player on the virtual
// sound device and the panel drawing the waveform.
#include "audio/WAVPlayer.h"
#include "audio/ui/LoadSequenceDriver.h"
#include "audio/ui/PlaybackPanel.h"
#include "audio/ui/ProcessDecoder.h"
#include "audio/ui/QtDispatcher.h"
#include "support/RecordingPrompter.h"
#include "support/VirtualWaveBackend.h"

#include "../WavFiles.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <fstream>

using namespace pellam;

namespace {

// Encodes a 3-second 440 Hz tone into evidence/<name> with the decoder program itself.
bool MakeMp3(const QString& path)
{
    const QString wav = path + ".src.wav";
    std::vector<std::int16_t> s(22050 * 3);
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<std::int16_t>(10000 * std::sin(2 * M_PI * 440.0 * static_cast<double>(i) / 22050.0));
    std::ofstream(wav.toStdString(), std::ios::binary) << test::PcmWav(1, 22050, test::Samples16(s));
    const int rc = QProcess::execute("lame", {"--quiet", wav, path});
    QFile::remove(wav);
    return rc == 0 && QFile::exists(path);
}

int GreenPixels(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == qRgb(0, 255, 0);
    return n;
}

} // namespace

class DecodeLoadTest : public QObject {
    Q_OBJECT

private:
    void decodeAndPlay(const QString& name)
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("evidence") && QDir(dir.path()).mkdir("work"));
        const QString mp3 = dir.filePath("evidence/" + name);
        QVERIFY(MakeMp3(mp3));
        Paths paths;
        paths.Evidence = dir.filePath("evidence").toStdString();
        paths.Temp = dir.filePath("work").toStdString() + "/";

        VirtualWaveBackend backend;
        QtDispatcher dispatcher;
        WAVPlayer player(backend, dispatcher);
        test::RecordingPrompter prompter;
        PlaybackPanel panel(player, prompter);
        panel.resize(605, 140);
        panel.show();
        ProcessDecoder decoder;
        LoadSequenceDriver driver(panel, player, decoder, paths, prompter);
        driver.SelectedItem = [&] { return name.toStdString(); };

        driver.sequence().ListDoubleClick(name.toStdString());
        QVERIFY(decoder.IsRunning() || QFile::exists(dir.filePath("work/TMP.WAV")));
        QCOMPARE(panel.Pointer(), MousePointer::Busy);
        QTRY_COMPARE_WITH_TIMEOUT(panel.Status().text, "Playing " + name.toStdString(), 20000);

        QCOMPARE(panel.Status().colour, kStatusGreen);
        QCOMPARE(panel.Pointer(), MousePointer::Normal);
        QVERIFY(panel.GraphDrawn);
        QVERIFY(GreenPixels(panel.PlayGRFX()->image()) > 200);
        QVERIFY(player.Duration() >= 2900 && player.Duration() <= 3300);
        QCOMPARE(player.Status(), std::int32_t(kPlayerPlaying)); // the double-click plays
        QVERIFY(prompter.messages.empty());
        // The decoder wrote only the temporary file: no name was split by a shell.
        QCOMPARE(QDir(dir.filePath("work")).entryList(QDir::Files), QStringList {"TMP.WAV"});
        QCOMPARE(QDir(dir.filePath("evidence")).entryList(QDir::Files), QStringList {name});
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("lame").isEmpty())
            QSKIP("the decoder program lame is not installed (scripts/setup installs it)");
    }

    void decodesARecordingAndPlaysIt() { decodeAndPlay("rec 1.mp3"); }

    void fileNamesAreNotInterpretedByAShell() { decodeAndPlay("it's; $HOME \"x\" `id`.mp3"); }

    void decoderIsLookedForBesideTheProgramFirst()
    {
        QTemporaryDir dir;
        const QString own = dir.filePath("lame");
        QFile f(own);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\nexit 0\n");
        f.close();

        ProcessDecoder decoder(dir.path());
        QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
        QCOMPARE(decoder.Locate("lame"), own);
        const DecoderStart notRunnable = decoder.Start("lame", {});
        QCOMPARE(notRunnable.outcome, DecoderStart::Outcome::Failed);
        QCOMPARE(notRunnable.error, 13);

        QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QCOMPARE(decoder.Start("lame", {}).outcome, DecoderStart::Outcome::Started);
        QTRY_VERIFY_WITH_TIMEOUT(!decoder.IsRunning(), 10000);

        QCOMPARE(decoder.Start("no-such-decoder-program", {}).outcome, DecoderStart::Outcome::Missing);
    }
};

QTEST_MAIN(DecodeLoadTest)
#include "DecodeLoadTest.moc"
