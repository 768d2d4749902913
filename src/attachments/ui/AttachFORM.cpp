#include "attachments/ui/AttachFORM.h"

#include "attachments/Examine.h"
#include "base/Twips.h"
#include "workspace/Session.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace pellam {
namespace {

constexpr std::array<const char*, AttachmentTableModel::kColumns> kCaptions
    = {"File Name", "File Description", "Type", "Approx. Size"};
constexpr std::array<int, AttachmentTableModel::kColumns> kWidthsTwips = {2250, 7485, 1410, 1400};

} // namespace

AttachmentTableModel::AttachmentTableModel(QObject* parent) : QAbstractTableModel(parent) { }

int AttachmentTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int AttachmentTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant AttachmentTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || role != Qt::DisplayRole)
        return {};
    const AttachmentEntry& e = m_rows[static_cast<std::size_t>(index.row())];
    const std::string* texts[kColumns] = {&e.FileName, &e.Description, &e.FileType, &e.ApproxSize};
    return QString::fromStdString(*texts[index.column()]);
}

QVariant AttachmentTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumns)
        return {};
    return QString(kCaptions[static_cast<std::size_t>(section)]);
}

void AttachmentTableModel::PopulateData(const AttachmentList& list)
{
    beginResetModel();
    m_rows.clear();
    const int count = std::min<int>(list.AttachCount, static_cast<int>(list.entries.size()));
    for (int i = 0; i < count; ++i)
        m_rows.push_back(list.entries[static_cast<std::size_t>(i)]);
    endResetModel();
}

int AttachmentTableModel::ColumnWidthTwips(int column)
{
    return kWidthsTwips[static_cast<std::size_t>(column)];
}

bool Examine(const std::string& path, DesktopOpener& desktop)
{
    return desktop.Open(path, [](const DesktopFailure& failure) {
        switch (failure.kind) {
        case DesktopFailure::Kind::Missing:
            return ExamineMessage(ExamineFailure::FileNotFound, failure.Detail());
        case DesktopFailure::Kind::Unnamable:
            return ExamineMessage(ExamineFailure::AccessDenied, failure.Detail());
        case DesktopFailure::Kind::NotStarted: // without the opener nothing on this PC opens a file
            return ExamineMessage(ExamineFailure::NoAssociation, failure.Detail());
        case DesktopFailure::Kind::Failed:
            break;
        }
        return *ExamineMessage(ShellResultOfOpenerStatus(failure.exitStatus), failure.Detail());
    });
}

AttachFORM::AttachFORM(const Session& session, Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Window), m_session(session), m_prompter(prompter),
      m_desktop(new DesktopOpener(prompter, this))
{
    setObjectName("AttachFORM");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromStdString(" Attachments for " + session.CaseNumber));

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
    m_from = new QLabel(QString::fromStdString(session.attachFolder.note), this);
    m_from->setObjectName("lblFrom");
    m_from->setWordWrap(true);
    m_from->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_from->setVisible(!session.attachFolder.note.empty());

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
    m_rows.PopulateData(session.attachments);
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
    const auto path = AttachmentFile(m_session.attachFolder.folder, name);
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
