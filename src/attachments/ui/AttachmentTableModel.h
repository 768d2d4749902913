#pragma once
#include "workspace/SysConfig.h"

#include <QAbstractTableModel>

#include <string>
#include <vector>

namespace pellam {

// The attachments list as a table model: rows in the list file's order, the
// four texts exactly as the file gives them.
class AttachmentTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumns = 4;

    explicit AttachmentTableModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Entries 1..AttachCount, never beyond those read; none when the count is below 1.
    void PopulateData(const AttachmentList& list);
    const std::string& FileName(int row) const { return m_rows[static_cast<std::size_t>(row)].FileName; }

    static int ColumnWidthTwips(int column);

private:
    std::vector<AttachmentEntry> m_rows;
};

} // namespace pellam
