#include "attachments/ui/InfoS.h"

#include "base/Twips.h"

#include <QFontDatabase>
#include <QLabel>
#include <QMouseEvent>

namespace pellam {

InfoS::InfoS(const RecordingDetails& details, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName("InfoS");
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(255, 255, 225));
    setPalette(pal);

    // Value labels 1-4, caption labels 5-7 and the heading 8, all in Tahoma;
    // captions and heading bold. Geometry in twips inside the grown window;
    // the row under the file name holds the note of a recording cut short.
    struct Place {
        int x, y, w;
        bool bold;
    };
    const Place place[8]
        = {{120, 290, 3800, false}, {960, 770, 2960, false}, {960, 1010, 2960, false}, {960, 1250, 2960, false},
            {120, 770, 800, true}, {120, 1010, 800, true}, {120, 1250, 800, true}, {120, 60, 2100, true}};
    constexpr int kRowHeight = 230;
    auto label = [this](const QString& name, int x, int y, int w, bool bold) {
        auto* l = new QLabel(this);
        l->setObjectName(name);
        QFont f("Tahoma");
        f.setPointSize(8);
        f.setBold(bold);
        l->setFont(f);
        PlaceInTwips(*l, {x, y, w, kRowHeight});
        // Clicks on a label close the window like clicks on the window.
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
        return l;
    };
    for (int i = 0; i < 8; ++i)
        m_labels[i] = label(QString("Label%1").arg(i + 1), place[i].x, place[i].y, place[i].w, place[i].bold);
    m_note = label("Note", 120, 520, 3800, false);
    m_note->setStyleSheet("color: #B00000;");
    m_note->setText(QString::fromStdString(details.note));
    m_labels[0]->setText(QString::fromStdString(details.fileName));
    m_labels[1]->setText(QString::fromStdString(details.artist));
    m_labels[2]->setText(QString::fromStdString(details.album));
    m_labels[3]->setText(QString::fromStdString(details.genre));
    m_labels[4]->setText("Artist:");
    m_labels[5]->setText("Info:");
    m_labels[6]->setText("Genre:");
    m_labels[7]->setText("MP3 Tag Info:");

    // The hash on one line of its own under the tag, in a fixed-pitch font so
    // it reads as the hex it is; the window grows wide enough to hold it.
    constexpr int kSha256Top = 1490;
    m_sha256 = label("Sha256", 120, kSha256Top, 3800, false);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSize(7);
    m_sha256->setFont(fixed);
    m_sha256->setText(QString::fromStdString(Sha256Line(details)));
    const int sha256Width = PixelsToTwips(m_sha256->fontMetrics().horizontalAdvance(m_sha256->text()) + 2);
    PlaceInTwips(*m_sha256, {120, kSha256Top, sha256Width, kRowHeight});
    m_growth = InfoSGrowth(120 + sha256Width + 120, kSha256Top + kRowHeight + 60);

    // The window has no frame and no close button: say how it goes away.
    m_hint = new QLabel("click to close", this);
    m_hint->setObjectName("CloseHint");
    QFont small("Tahoma");
    small.setPointSize(7);
    small.setItalic(true);
    m_hint->setFont(small);
    m_hint->setStyleSheet("color: #808080;");
    m_hint->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    PlaceInTwips(*m_hint, {2280, 60, 1665, kRowHeight});
    m_hint->setAttribute(Qt::WA_TransparentForMouseEvents);

    ApplySize();
    m_openItUp.setObjectName("OpenItUpTIM");
    m_openItUp.setInterval(InfoSGrowth::kTickMs);
    connect(&m_openItUp, &QTimer::timeout, this, &InfoS::OpenItUpTick);
    m_openItUp.start();
}

void InfoS::ApplySize()
{
    resize(TwipsToPixels(m_growth.width()), TwipsToPixels(m_growth.height()));
}

void InfoS::OpenItUpTick()
{
    m_growth.tick();
    ApplySize();
    if (m_growth.done()) {
        m_openItUp.stop();
        emit grown();
    }
}

void InfoS::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    close();
}

} // namespace pellam
