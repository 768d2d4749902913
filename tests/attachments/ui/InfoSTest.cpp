// The recording-details window: growth and closing (its content is read by ReadRecordingDetails).
#include "attachments/ui/InfoS.h"

#include <QLabel>
#include <QPointer>
#include <QTest>

using namespace pellam;

class InfoSTest : public QObject {
    Q_OBJECT
private slots:
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
