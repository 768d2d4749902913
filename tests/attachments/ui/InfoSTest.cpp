// The recording-details window: any click closes it (its content is read by ReadRecordingDetails).
#include "attachments/ui/InfoS.h"

#include <QLabel>
#include <QPointer>
#include <QTest>

using namespace pellam;

class InfoSTest : public QObject {
    Q_OBJECT
private slots:
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
