#include "records/ui/RCEV.h"

#include "base/Twips.h"
#include "records/RecordFields.h"
#include "records/RecordSheet.h"
#include "records/ui/PhotoLoader.h"

#include <QApplication>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QMenu>
#include <QTextEdit>

namespace pellam {
namespace {

// Where the sheet window's parts go for its size, in twips: the sheet
// centred with a 250-twip border each side, in a frame a little larger, and
// the buttons under it.
struct SheetWindowLayout {
    TwipsBox sheet;
    TwipsBox frame;
    int buttonsTop;
};

SheetWindowLayout LayoutSheetWindow(int width, int height)
{
    const int sheetW = std::max(0, width - 500), sheetH = std::max(0, height - 1300);
    const TwipsBox sheet {(width - sheetW) / 2, 120, sheetW, sheetH};
    return {sheet, {sheet.x - 6, sheet.y - 8, sheetW + 12, sheetH + 25}, sheet.bottom() + 250};
}

} // namespace

RCEV::RCEV(const RecordTable& table, const RoleTable& roles, std::int16_t role, std::int16_t person, FolderPath picPath,
    std::string today, PrinterChooser choosePrinter, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), m_table(table), m_roles(roles), m_role(role),
      m_person(person), m_today(std::move(today)), m_choosePrinter(std::move(choosePrinter))
{
    setObjectName("RCEV");
    setAttribute(Qt::WA_DeleteOnClose);
    m_rtBack = new QFrame(this);
    m_rtBack->setObjectName("RTBack");
    static_cast<QFrame*>(m_rtBack)->setFrameShape(QFrame::Box);
    m_rtb = new QTextEdit(this);
    m_rtb->setObjectName("RTB");
    m_rtb->setReadOnly(true);
    m_rtb->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_rtb, &QTextEdit::customContextMenuRequested, this, [this](QPoint at) {
        QMenu* menu = m_rtb->createStandardContextMenu(at);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->addSeparator();
        menu->addAction("Mark This Person\u2026", this, [this] { emit markRequested(m_role, m_person); });
        menu->popup(m_rtb->viewport()->mapToGlobal(at));
    });
    m_text1 = new QLineEdit(this);
    m_text1->setObjectName("Text1");
    m_text1->setFixedSize(1, 1); // only holds the keyboard focus, away from the sheet
    m_print = new QPushButton("Print This Record", this);
    m_exit = new QPushButton("Exit", this);
    connect(m_print, &QPushButton::clicked, this, &RCEV::PrintThisRecord);
    connect(m_exit, &QPushButton::clicked, this, &QWidget::close);

    // The photo is loaded before the sheet is built: its note decides the sheet's photo place.
    const PhotoCheck check = CheckPhoto(FieldText(table, role, person, "PhotoFile"), picPath);
    m_photoNote = check.note;
    m_photoReason = check.reason;
    if (m_photoNote.empty()) {
        const int side = TwipsToPixels(kPhotoBoxTwips);
        if (const auto photo = LoadPhoto(check.path, QSize(side, side))) {
            m_pictures.insert(kSheetPhoto, *photo);
        } else {
            m_photoNote = kPhotoLoadError;
            m_photoReason = check.path + ": the picture cannot be read";
        }
    }
    // The operator learns on the sheet why the photo is not there.
    m_rtb->setToolTip(QString::fromStdString(m_photoReason));
    setWindowTitle(QString::fromStdString(SheetCaption(table, role, person)));

    m_getNewPic.setObjectName("GetNewPicTIM");
    m_getNewPic.setSingleShot(true);
    m_getNewPic.setInterval(20);
    connect(&m_getNewPic, &QTimer::timeout, this, &RCEV::GetNewPicTIMTick);
    m_getNewPic.start();
    m_timer1.setInterval(100);
    // Keeps the keyboard away from the sheet, but only while this window is the
    // operator's: another window's open menu keeps its focus.
    connect(&m_timer1, &QTimer::timeout, this, [this] {
        if (isActiveWindow() && !QApplication::activePopupWidget())
            m_text1->setFocus();
    });
    m_timer1.start();
    resize(TwipsToPixels(10500), TwipsToPixels(11000));
}

void RCEV::Fillerup()
{
    m_sheet = pellam::Fillerup(m_table, m_roles, m_role, m_person, m_photoNote, m_today);
    FillTextDocument(*m_rtb->document(), m_sheet, m_pictures);
    m_rtb->moveCursor(QTextCursor::Start);
}

void RCEV::GetNewPicTIMTick()
{
    m_getNewPic.stop();
    setWindowTitle(QString::fromStdString(SheetCaption(m_table, m_role, m_person)));
    Fillerup();
}

void RCEV::PrintThisRecord()
{
    const std::string name = FieldText(m_table, m_role, m_person, "Name");
    PrintDocument(m_sheet, name.empty() ? "Record Sheet" : "Record Sheet of " + name, kSheetMargins, m_choosePrinter,
        this, m_pictures);
}

void RCEV::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const SheetWindowLayout l = LayoutSheetWindow(PixelsToTwips(width()), PixelsToTwips(height()));
    PlaceInTwips(*m_rtb, l.sheet);
    PlaceInTwips(*m_rtBack, l.frame);
    const int buttonsTop = TwipsToPixels(l.buttonsTop);
    m_print->move(m_rtb->x(), buttonsTop);
    m_exit->move(m_rtb->geometry().right() - m_exit->width(), buttonsTop);
    m_text1->move(0, height() - 1);
}

} // namespace pellam
