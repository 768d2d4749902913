// The whole load with a real MP3 and the real decoder as a child process. With
// --decode-child the binary is one copy of the program decoding one recording.
#include "audio/WAVPlayer.h"
#include "audio/ui/LoadSequenceDriver.h"
#include "audio/ui/PlaybackPanel.h"
#include "audio/ui/ProcessDecoder.h"
#include "audio/ui/QtDispatcher.h"
#include "support/RecordingPrompter.h"
#include "support/VirtualWaveBackend.h"
#include "workspace/WorkFolder.h"

#include "../WavFiles.h"
#include "Images.h"

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

// One copy of the program: decodes mp3 into its own file in workDir, waits
// until every copy in syncDir's count has decoded, opens its file again and
// prints the duration it plays and the file it opened.
int DecodeChild(const QString& mp3, const QString& workDir, const QString& syncDir, int copies)
{
    Paths paths;
    paths.Temp = workDir.toStdString() + "/";
    VirtualWaveBackend backend;
    QtDispatcher dispatcher;
    WAVPlayer player(backend, dispatcher);
    test::RecordingPrompter prompter;
    PlaybackPanel panel(player, prompter);
    ProcessDecoder decoder;
    LoadSequenceDriver driver(panel, player, decoder, paths, prompter);
    const RecordingRef recording {1, QFileInfo(mp3).fileName().toStdString(), mp3.toStdString()};
    const auto loaded
        = [&] { return QTest::qWaitFor([&] { return driver.sequence().State() == LoadState::Loaded; }, 30000); };

    driver.sequence().ListClick(recording);
    if (!loaded())
        return 2;
    if (!QFile(syncDir + "/" + QString::number(::getpid())).open(QIODevice::WriteOnly))
        return 3;
    if (!QTest::qWaitFor([&] { return QDir(syncDir).entryList(QDir::Files).size() >= copies; }, 30000))
        return 3;
    driver.sequence().ListDoubleClick(recording); // the loaded one: its file is opened again
    if (!loaded())
        return 4;
    std::printf("%d %s\n", player.Duration(), driver.sequence().TempWavPath().c_str());
    return 0;
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
        driver.SelectedRecording = [&] { return RecordingRef {1, name.toStdString(), mp3.toStdString()}; };
        const QString temp = QString::fromStdString(TempWavName(static_cast<int>(::getpid())));

        driver.ListDoubleClick();
        QTRY_COMPARE_WITH_TIMEOUT(panel.Status().text, "Playing " + name.toStdString(), 20000);

        QVERIFY(GreenPixels(panel.PlayGRFX()->image()) > 200);
        QVERIFY(player.Duration() >= 2900 && player.Duration() <= 3300);
        QCOMPARE(player.Status(), PlayerStatus::Playing); // the double-click plays
        QVERIFY(prompter.messages.empty());
        // The decoder wrote only the temporary file: no name was split by a shell.
        QCOMPARE(QDir(dir.filePath("work")).entryList(QDir::Files), QStringList {temp});
        QCOMPARE(QDir(dir.filePath("evidence")).entryList(QDir::Files), QStringList {name});
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("lame").isEmpty())
            QSKIP("the decoder program lame is not installed (scripts/setup installs it)");
    }

    // The name's spaces, quotes and shell characters reach the decoder untouched.
    void decodesARecordingAndPlaysIt() { decodeAndPlay("rec 1 it's; $HOME \"x\" `id`.mp3"); }

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
            QVERIFY(copies[i].waitForFinished(90000));
            QCOMPARE(copies[i].exitCode(), 0);
            const QStringList out = QString::fromUtf8(copies[i].readAllStandardOutput()).trimmed().split(' ');
            QCOMPARE(out.size(), 2);
            const int duration = out[0].toInt();
            QVERIFY2(std::abs(duration - seconds[i] * 1000) < 400, qPrintable(out[0]));
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
