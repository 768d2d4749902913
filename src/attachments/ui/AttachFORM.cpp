#include "attachments/ui/AttachFORM.h"

#include "attachments/Examine.h"
#include "base/Twips.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace pellam {
AttachFORM::AttachFORM(AttachmentsInput input, Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Window), m_input(std::move(input)), m_prompter(prompter),
      m_desktop(new DesktopOpener(prompter, this))
{
    setObjectName("AttachFORM");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromStdString(" Attachments for " + m_input.caseNumber));

    m_lv1 = new QTreeView(this);
    m_lv1->setObjectName("LV1");
    m_lv1->setRootIsDecorated(false);
    m_lv1->setUniformRowHeights(true);
    m_lv1->setAllColumnsShowFocus(true);
    m_lv1->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lv1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lv1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lv1->setModel(&m_rows);
    m_lv1->header()->setStretchLastSection(false);
    connect(m_lv1, &QTreeView::doubleClicked, this, &AttachFORM::ExamineSelected);

    auto* examine = new QPushButton("Examine Attachment", this);
    examine->setObjectName("Command1");
    auto* close = new QPushButton("Close", this);
    close->setObjectName("Command2");
    connect(examine, &QPushButton::clicked, this, &AttachFORM::ExamineSelected);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    // Kept out of sight: they report the columns' widths while the layout is tuned.
    auto* widths = new QPushButton("Get Colom Widths", this);
    widths->setObjectName("Command3");
    widths->hide();
    connect(widths, &QPushButton::clicked, this, &AttachFORM::GetColomWidths);
    for (std::size_t i = 0; i < m_widthLabels.size(); ++i) {
        m_widthLabels[i] = new QLabel(this);
        m_widthLabels[i]->setObjectName(QString("Label%1").arg(i + 1));
        m_widthLabels[i]->hide();
    }

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(examine);
    buttons->addStretch(1);
    buttons->addWidget(close);
    // Where the attachments come from when it is not the folder the event
    // file names, or why there are none.
    m_from = new QLabel(QString::fromStdString(m_input.folder.note), this);
    m_from->setObjectName("lblFrom");
    m_from->setWordWrap(true);
    m_from->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_from->setVisible(!m_input.folder.note.empty());

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_from);
    layout->addWidget(m_lv1, 1);
    layout->addLayout(buttons);

    int total = 0;
    for (int c = 0; c < AttachmentTableModel::kColumns; ++c) {
        m_lv1->setColumnWidth(c, TwipsToPixels(AttachmentTableModel::ColumnWidthTwips(c)));
        total += AttachmentTableModel::ColumnWidthTwips(c);
    }
    resize(TwipsToPixels(total + 600), TwipsToPixels(4800));
    m_rows.PopulateData(m_input.attachments);
}

void AttachFORM::SelectRow(int row)
{
    const QModelIndex index = m_rows.index(row, 0);
    if (!index.isValid())
        return;
    m_lv1->setCurrentIndex(index);
    m_lv1->scrollTo(index);
}

void AttachFORM::ExamineSelected()
{
    const QModelIndexList selected = m_lv1->selectionModel()->selectedRows();
    if (selected.isEmpty()) {
        m_prompter.Show(NothingSelectedMessage());
        return;
    }
    const std::string& name = m_rows.FileName(selected.front().row());
    if (name.empty())
        return;
    const auto path = AttachmentFile(m_input.folder.folder, name);
    if (!path) {
        m_prompter.Show(ExamineMessage(path.error()));
        return;
    }
    Examine(path.value(), *m_desktop);
}

void AttachFORM::GetColomWidths()
{
    for (int c = 0; c < AttachmentTableModel::kColumns; ++c)
        m_widthLabels[static_cast<std::size_t>(c)]->setText(QString::number(PixelsToTwips(m_lv1->columnWidth(c))));
}

} // namespace pellam
