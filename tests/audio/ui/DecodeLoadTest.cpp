// The whole load with a real MP3 and the real decoder as a child process. With
// --decode-child the binary is one copy of the program decoding one recording.
#include "audio/WAVPlayer.h"
#include "audio/ui/LoadSequenceDriver.h"
#include "audio/ui/PlaybackPanel.h"
#include "audio/ui/ProcessDecoder.h"
#include "audio/ui/QtDispatcher.h"
#include "audio/ui/QtWaveBackend.h"
#include "base/PathText.h"
#include "support/RecordingPrompter.h"
#include "support/VirtualWaveBackend.h"
#include "workspace/WorkFolder.h"

#include "Images.h"
#include "support/WavFiles.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <fstream>
#include <string_view>
#include <unistd.h>

using namespace pellam;

namespace {

// Encodes a 440 Hz tone of the given length into path with the decoder program itself.
bool MakeMp3(const QString& path, int seconds = 3)
{
    const QString wav = path + ".src.wav";
    std::ofstream(wav.toStdString(), std::ios::binary) << test::PcmWav(1, 22050, test::Tone(22050, 1, seconds * 1000));
    const int rc = QProcess::execute("lame", {"--quiet", wav, path});
    QFile::remove(wav);
    return rc == 0 && QFile::exists(path);
}

// One copy of the program: the panel, the player on a virtual device (or the
// sound server's, when asked for and one runs) and the real decoder, working
// in `work`; it loads the recording `mp3`.
struct Station {
    static bool SoundServer() { return !qEnvironmentVariableIsEmpty("PELLAM_SOUND_SERVER"); }

    const bool realSound;
    Paths paths;
    std::unique_ptr<WaveOutBackend> backend = realSound
        ? std::unique_ptr<WaveOutBackend>(std::make_unique<QtWaveBackend>())
        : std::make_unique<VirtualWaveBackend>();
    QtDispatcher dispatcher;
    WAVPlayer player {*backend, dispatcher};
    test::RecordingPrompter prompter;
    PlaybackPanel panel {player, prompter};
    ProcessDecoder decoder;
    std::unique_ptr<LoadSequenceDriver> driver;
    RecordingRef recording;

    // `mp3` is the recording's path as bytes.
    Station(const QString& work, const std::string& mp3, bool sound = false)
        : realSound(sound && SoundServer()), recording {1, BaseName(mp3), mp3}
    {
        paths.Temp = FolderPath(work.toStdString());
        driver = std::make_unique<LoadSequenceDriver>(
            panel, player, decoder, paths, prompter, [this] { return std::optional(recording); });
    }
    bool Loaded()
    {
        return QTest::qWaitFor([&] { return driver->sequence().State() == LoadState::Loaded; }, 30000);
    }
};

// Decodes mp3 into its own file in workDir, waits until every copy in
// syncDir's count has decoded, opens its file again and prints the duration
// it plays and the file it opened.
int DecodeChild(const QString& mp3, const QString& workDir, const QString& syncDir, int copies)
{
    Station s(workDir, QFile::encodeName(mp3).toStdString());
    s.driver->sequence().ListClick(s.recording);
    if (!s.Loaded())
        return 2;
    if (!QFile(syncDir + "/" + QString::number(::getpid())).open(QIODevice::WriteOnly)
        || !QTest::qWaitFor([&] { return QDir(syncDir).entryList(QDir::Files).size() >= copies; }, 30000))
        return 3;
    s.driver->sequence().ListDoubleClick(s.recording); // the loaded one: its file is opened again
    if (!s.Loaded())
        return 4;
    std::printf("%d %s\n", s.player.Duration(), s.driver->sequence().TempWavPath().c_str());
    return 0;
}

} // namespace

class DecodeLoadTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("lame").isEmpty())
            QSKIP("the decoder program lame is not installed (scripts/setup installs it)");
    }

    // A name is bytes: a leading dash, a Latin-1 letter (not UTF-8), a line
    // break, spaces, quotes and shell characters reach the decoder untouched.
    void decodesARecordingAndPlaysIt()
    {
        const std::string name = "-Pe\xF1"
                                 "a\nrec 1 it's; $HOME \"x\" `id`.mp3";
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("evidence") && QDir(dir.path()).mkdir("work"));
        const std::string evidence = QFile::encodeName(dir.filePath("evidence/")).toStdString();
        QVERIFY(MakeMp3(dir.filePath("evidence/made.mp3")));
        QCOMPARE(::rename((evidence + "made.mp3").c_str(), (evidence + name).c_str()), 0);
        Station s(dir.filePath("work"), evidence + name, true);
        s.panel.resize(605, 140);
        s.panel.show();
        s.driver->ListDoubleClick();
        QTRY_COMPARE_WITH_TIMEOUT(s.panel.Status().text, "Playing " + name, 20000);
        // The waveform is read in the background and may come after the sound starts.
        QTRY_VERIFY_WITH_TIMEOUT(GreenPixels(s.panel.PlayGRFX()->image()) > 200, 20000);
        QVERIFY(s.player.Duration() >= 2900 && s.player.Duration() <= 3300 && s.prompter.messages.empty());
        if (s.realSound) // heard: the sound server's device plays it on
            QTRY_VERIFY_WITH_TIMEOUT(s.player.Position() >= 1000, 20000);
        // The decoder wrote only the temporary file: no name was split by a shell.
        const QString temp = QString::fromStdString(TempWavName(static_cast<int>(::getpid())));
        QCOMPARE(QDir(dir.filePath("work")).entryList(QDir::Files), QStringList {temp});
        QCOMPARE(::unlink((evidence + name).c_str()), 0); // a name QTemporaryDir cannot remove
        QCOMPARE(QDir(dir.filePath("evidence")).entryList(QDir::Files), QStringList {});
    }

    void twoCopiesEachPlayTheirOwnRecording()
    {
        // Two copies of the program on one working folder, each decoding a
        // recording of its own length at the same time.
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("work") && QDir(dir.path()).mkdir("sync"));
        const int seconds[] = {2, 5};
        QProcess copies[2];
        for (int i = 0; i < 2; ++i) {
            const QString mp3 = dir.filePath(QString("rec%1.mp3").arg(i));
            QVERIFY(MakeMp3(mp3, seconds[i]));
            copies[i].start(QCoreApplication::applicationFilePath(),
                {"--decode-child", mp3, dir.filePath("work"), dir.filePath("sync")});
        }
        QStringList opened;
        for (int i = 0; i < 2; ++i) {
            const qint64 pid = copies[i].processId();
            QVERIFY(copies[i].waitForFinished(90000) && copies[i].exitCode() == 0);
            const QStringList out = QString::fromUtf8(copies[i].readAllStandardOutput()).trimmed().split(' ');
            QCOMPARE(out.size(), 2);
            QVERIFY2(std::abs(out[0].toInt() - seconds[i] * 1000) < 400, qPrintable(out[0]));
            QCOMPARE(QFileInfo(out[1]).fileName(), QString::fromStdString(TempWavName(static_cast<int>(pid))));
            opened << out[1];
        }
        QVERIFY(opened[0] != opened[1]);
        // Each copy deleted its own file when it ended.
        QCOMPARE(QDir(dir.filePath("work")).entryList(QDir::Files), QStringList {});
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc == 5 && std::string_view(argv[1]) == "--decode-child")
        return DecodeChild(argv[2], argv[3], argv[4], 2);
    DecodeLoadTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "DecodeLoadTest.moc"
