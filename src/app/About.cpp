#include "app/About.h"

#include "base/Twips.h"

#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QTimer>

#include <cmath>

namespace pellam {
namespace {

// Every label passes clicks on to the window, which closes on any click.
QLabel* MakeLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

} // namespace

About::About(bool splashShown, QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog), m_splash(splashShown), m_timer1(new QTimer(this))
{
    setObjectName("About");
    setWindowTitle("About Pellam");
    setFixedSize(TwipsToPixels(7200), TwipsToPixels(4800));

    m_label1 = MakeLabel(this);
    m_label1->setObjectName("Label1");
    m_label1->setStyleSheet("color: white; font: bold 11pt;");
    m_label1->setGeometry(24, height() - 70, width() - 48, 24);
    m_label2 = MakeLabel(this);
    m_label2->setObjectName("Label2");
    m_label3 = MakeLabel(this);
    m_label3->setObjectName("Label3");
    m_pb1 = new QProgressBar(this);
    m_pb1->setObjectName("PB1");
    m_pb1->setTextVisible(false);
    m_pb1->setGeometry(24, height() - 36, width() - 48, 12);
    // Where a click closes the window, a hint says so; the splash closes by itself.
    m_hint = MakeLabel(this);
    m_hint->setObjectName("CloseHint");
    m_hint->setText("click to close");
    m_hint->setStyleSheet("color: #a0aac0; font: italic 8pt;");
    m_hint->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_hint->setGeometry(24, height() - 40, width() - 48, 18);

    m_label2->clear();
    m_label3->setText(m_label2->text());
    m_label1->setText(QString::fromStdString(AboutSplash::VersionText()));
    if (m_splash.isSplash()) {
        m_pb1->setMaximum(AboutSplash::kProgressMax);
        m_timer1->setObjectName("Timer1");
        m_timer1->setInterval(AboutSplash::kTickMs);
        connect(m_timer1, &QTimer::timeout, this, &About::Timer1Tick);
        m_timer1->start();
        m_hint->hide();
    } else {
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
        m_label2->move(m_label2->x(), TwipsToPixels(4020));
    }
    Render();
}

void About::Render()
{
    m_pb1->setVisible(m_splash.progressVisible());
    m_pb1->setValue(m_splash.progress());
}

void About::Timer1Tick()
{
    m_splash.tick();
    Render();
    if (m_splash.finished()) {
        m_timer1->stop();
        emit splashFinished();
        close();
    }
}

void About::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    close();
}

void About::paintEvent(QPaintEvent*)
{
    // The program's own picture: a night-blue field with the name and a
    // stylised waveform, drawn rather than loaded.
    QPainter p(this);
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0, QColor(10, 24, 56));
    sky.setColorAt(1, QColor(2, 6, 18));
    p.fillRect(rect(), sky);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 255, 0), 2));
    const int mid = height() / 2 + 10;
    QPointF last(20, mid);
    for (int x = 20; x < width() - 20; x += 4) {
        const double a = 0.6 + 0.4 * std::sin(x / 37.0);
        const QPointF pt(x, mid + a * 38 * std::sin(x / 5.0) * std::cos(x / 23.0));
        p.drawLine(last, pt);
        last = pt;
    }
    p.setPen(QColor(0, 255, 255));
    QFont title = font();
    title.setPointSize(30);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRect(0, 20, width(), 60), Qt::AlignHCenter, "Pellam");
    QFont sub = font();
    sub.setPointSize(10);
    p.setFont(sub);
    p.setPen(QColor(200, 210, 230));
    p.drawText(QRect(0, 78, width(), 24), Qt::AlignHCenter, "Norvik Technologies");
}

} // namespace pellam
