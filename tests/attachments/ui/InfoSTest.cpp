// The recording-details window: content from the ID3 tag, growth, closing.
#include "attachments/RecordingDetails.h"
#include "attachments/ui/InfoS.h"

#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

using namespace pellam;

namespace {

QByteArray Frame(const char* id, const QByteArray& text)
{
    QByteArray body = QByteArray(1, '\0') + text; // ISO-8859-1 encoding byte
    QByteArray f(id);
    const auto n = static_cast<quint32>(body.size());
    f.append(char(n >> 24)).append(char(n >> 16)).append(char(n >> 8)).append(char(n));
    f.append(2, '\0');
    return f + body;
}

// An MP3-looking file with an ID3 version 2.3 tag holding the given frames.
QByteArray TaggedFile(const QByteArray& frames)
{
    QByteArray tag("ID3\x03\x00\x00", 6);
    const int n = int(frames.size());
    tag.append(char((n >> 21) & 0x7F)).append(char((n >> 14) & 0x7F)).append(char((n >> 7) & 0x7F)).append(char(n & 0x7F));
    return tag + frames + QByteArray("\xFF\xFB\x90\x00", 4) + QByteArray(400, '\0');
}

} // namespace

class InfoSTest : public QObject {
    Q_OBJECT
private slots:
    void detailsComeFromTheTag()
    {
        QTemporaryDir dir;
        QFile f(dir.filePath("4711_0001.mp3"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(TaggedFile(Frame("TPE1", "Unit 4") + Frame("TALB", "Harbor Call") + Frame("TCON", "(10)")));
        f.close();
        cMP3ID3v2 reader;
        const auto d = ReadRecordingDetails(reader, dir.path().toStdString(), "4711_0001.mp3");
        QCOMPARE(QString::fromStdString(d.fileName), QString("4711_0001.mp3"));
        QCOMPARE(QString::fromStdString(d.artist), QString("Unit 4"));
        QCOMPARE(QString::fromStdString(d.album), QString("Harbor Call"));
        QCOMPARE(QString::fromStdString(d.genre), QString("Speech"));

        QFile plain(dir.filePath("plain.mp3"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.write(QByteArray("\xFF\xFB\x90\x00", 4) + QByteArray(100, '\0'));
        plain.close();
        const auto none = ReadRecordingDetails(reader, dir.path().toStdString(), "plain.mp3");
        QCOMPARE(QString::fromStdString(none.fileName), QString("plain.mp3"));
        QVERIFY(none.artist.empty() && none.album.empty() && none.genre.empty());

        const auto missing = ReadRecordingDetails(reader, dir.path().toStdString(), "gone.mp3");
        QCOMPARE(QString::fromStdString(missing.fileName), QString("FILE LOAD ERROR"));
    }

    void growsToItsSizeThenStops()
    {
        InfoS w(RecordingDetails{"a.mp3", "x", "y", "z"});
        w.OpenItUpTIM().stop();
        w.show();
        QCOMPARE(w.label(8)->text(), QString("MP3 Tag Info:"));
        QVERIFY(w.label(5)->font().bold());
        QVERIFY(!w.label(1)->font().bold());
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
        QPointer<InfoS> w = new InfoS(RecordingDetails{"a.mp3", "", "", ""});
        w->show();
        QTest::mouseClick(w->label(3), Qt::LeftButton);
        QTRY_VERIFY(w.isNull());
    }
};

QTEST_MAIN(InfoSTest)
#include "InfoSTest.moc"
