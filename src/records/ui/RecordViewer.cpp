#include "records/ui/RecordViewer.h"

#include "base/Twips.h"
#include "records/ui/RCEV.h"

#include <QApplication>
#include <QHeaderView>
#include <QTreeView>
#include <QVBoxLayout>

namespace pellam {

RecordSheetSlot::~RecordSheetSlot()
{
    if (m_sheet && !m_owner)
        delete m_sheet.data();
}

RCEV* RecordSheetSlot::Open(const RecordSource& source, std::int16_t role, std::int16_t person)
{
    Close();
    m_sheet = new RCEV(
        source.table, source.roles, role, person, source.picPath, source.today, source.choosePrinter, m_owner);
    if (m_opened)
        m_opened(m_sheet);
    return m_sheet;
}

void RecordSheetSlot::Close()
{
    if (m_sheet)
        m_sheet->close();
}

RecordViewer::RecordViewer(RecordSource source, Prompter& prompter, RecordSheetSlot& sheets, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), m_source(std::move(source)), m_sheets(sheets)
{
    setObjectName("RecordViewer");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Record Viewer");
    m_model = new RecordListModel(this);
    m_lv1 = new QTreeView(this);
    m_lv1->setObjectName("LV1");
    m_lv1->setRootIsDecorated(false);
    m_lv1->setModel(m_model);
    m_lv1->header()->setSectionsClickable(false); // a header click does nothing
    for (int c = 0; c < RecordListModel::kColumns; ++c)
        m_lv1->setColumnWidth(c, TwipsToPixels(RecordListModel::ColumnWidthTwips(c)));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lv1);
    resize(TwipsToPixels(6200), TwipsToPixels(4500));
    connect(
        m_lv1, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) { RowDoubleClicked(index.row()); });

    m_unload.setObjectName("UnloadTIM");
    m_unload.setSingleShot(true);
    m_unload.setInterval(20);
    connect(&m_unload, &QTimer::timeout, this, &QWidget::close);

    const auto loaded = m_source.handler.RECORDLOAD(m_source.table, m_source.roles);
    if (!loaded) {
        prompter.Show({"File Error", "Failed to Load Record Data", MessageIcon::Critical,
            m_source.handler.RecordPath() + "\n" + loaded.error().text});
        m_unload.start();
        return;
    }
    // A file cut short lists what it holds; the examiner is told where it ends.
    if (const auto note = loaded->CutShortNote())
        prompter.Show({"Record Data", *note, MessageIcon::Exclamation, m_source.handler.RecordPath()});
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_model->SetRows(UpdateListCTL(m_source.table, m_source.roles));
    QApplication::restoreOverrideCursor();
    // A column is widened where the screen's font needs more room than its set width.
    for (int c = 0; c < RecordListModel::kColumns; ++c) {
        const int set = m_lv1->columnWidth(c);
        m_lv1->resizeColumnToContents(c);
        m_lv1->setColumnWidth(c, std::max(set, m_lv1->columnWidth(c)));
    }
}

void RecordViewer::RowDoubleClicked(int row)
{
    if (row < 0 || row >= m_model->rowCount() || m_model->Rows()[static_cast<std::size_t>(row)].Type.empty())
        return;
    const RecordListRow& r = m_model->Rows()[static_cast<std::size_t>(row)];
    m_sheets.Open(m_source, r.Role, r.Person)->show();
}

} // namespace pellam
