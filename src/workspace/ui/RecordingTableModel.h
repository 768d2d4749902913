#pragma once
// The recording list's rows as a table model: one row per recording in
// recording-number order, the five texts the list shows, the recording number
// under RecordingNumberRole, the loaded recording in bold and a recording's
// duration note as the tooltip of its row. The model keeps its own copy of the
// rows and is brought up to the incident model's rows by Sync(), which inserts,
// removes and changes only what differs, so views keep their selection and
// sort order while the open adds rows.
#include "workspace/IncidentModel.h"

#include <QAbstractTableModel>

#include <vector>

namespace pellam {

class RecordingTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The recording number (1-based, int) of a row.
    static constexpr int RecordingNumberRole = Qt::UserRole + 1;
    static constexpr int kColumns = 5;

    explicit RecordingTableModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Row i of rows is recording i + 1.
    void Sync(const std::vector<Mp3Record>& rows);

    // The recording the player has loaded (0: none) is shown in bold.
    int LoadedNumber() const { return m_loaded; }
    void SetLoadedNumber(int number);

    // Twips widths of the five columns.
    static int ColumnWidthTwips(int column);

private:
    static QString Text(const Mp3Record& r, int column);
    void RowChanged(int row);

    std::vector<Mp3Record> m_rows;
    int m_loaded = 0;
};

} // namespace pellam
