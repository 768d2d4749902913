// The recording-details window: content from the ID3 tag, growth, closing.
#include "attachments/ui/InfoS.h"
#include "attachments/RecordingDetails.h"
#include "attachments/TagBuilder.h"

#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

using namespace pellam;

namespace {

void Write(const QTemporaryDir& dir, const char* name, const std::string& bytes)
{
    QFile f(dir.filePath(name));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), qint64(bytes.size()));
}

} // namespace

class InfoSTest : public QObject {
    Q_OBJECT
private slots:
    void detailsComeFromTheTag()
    {
        using namespace pellam::test;
        QTemporaryDir dir;
        const std::string audio = std::string("\xFF\xFB\x90\x00", 4) + std::string(400, '\0');
        Write(dir, "4711_0001.mp3",
            PaddedTag(3,
                Frame("TPE1", Latin1("Unit 4")) + Frame("TALB", Latin1("Harbor Call")) + Frame("TCON", Latin1("(10)")))
                + audio);
        Write(dir, "plain.mp3", audio);
        cMP3ID3v2 reader;
        const auto d = ReadRecordingDetails(reader, dir.filePath("4711_0001.mp3").toStdString());
        QCOMPARE(QString::fromStdString(d.fileName), QString("4711_0001.mp3"));
        QCOMPARE(QString::fromStdString(d.artist), QString("Unit 4"));
        QCOMPARE(QString::fromStdString(d.album), QString("Harbor Call"));
        QCOMPARE(QString::fromStdString(d.genre), QString("Speech"));

        const auto none = ReadRecordingDetails(reader, dir.filePath("plain.mp3").toStdString());
        QCOMPARE(QString::fromStdString(none.fileName), QString("plain.mp3"));
        QVERIFY(none.artist.empty() && none.album.empty() && none.genre.empty());

        const auto missing = ReadRecordingDetails(reader, dir.filePath("gone.mp3").toStdString());
        QCOMPARE(QString::fromStdString(missing.fileName), QString("FILE LOAD ERROR"));
    }

    void growsToItsSizeThenStops()
    {
        InfoS w(RecordingDetails {"a.mp3", "x", "y", "z"});
        w.OpenItUpTIM().stop();
        w.show();
        int ticks = 0;
        while (!w.growth().done() && ticks < 100) {
            w.OpenItUpTick();
            ++ticks;
        }
        QCOMPARE(ticks, 14); // 10 + 13 x 300 = 3910, the 14th step reaches 4065
        QCOMPARE(w.growth().width(), 4065);
        QCOMPARE(w.growth().height(), 1530);
        QCOMPARE(w.size(), QSize(271, 102));
    }

    void anyClickClosesItEvenWhileGrowing()
    {
        QPointer<InfoS> w = new InfoS(RecordingDetails {"a.mp3", "", "", ""});
        w->show();
        QTest::mouseClick(w->label(3), Qt::LeftButton);
        QTRY_VERIFY(w.isNull());
    }
};

QTEST_MAIN(InfoSTest)
#include "InfoSTest.moc"
