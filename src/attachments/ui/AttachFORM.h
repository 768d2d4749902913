#pragma once
// The attachments window: the documents the incident system attached to the
// incident, as "ATCH.lst" lists them, each opened on request with the program
// the desktop associates with its type.
#include "base/Prompter.h"
#include "workspace/SysConfig.h"
#include "workspace/ui/DesktopOpen.h"

#include <QAbstractTableModel>
#include <QWidget>

#include <array>
#include <string>
#include <vector>

class QLabel;
class QTreeView;

namespace pellam {

struct Session;

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

// Hands `path` to the desktop; a missing file, at once, or a failed open,
// when the desktop's opener ends, shows the "File Load Error" message with its
// reason, the file and what the system said as its detail. False when the
// file is missing.
bool Examine(const std::string& path, DesktopOpener& desktop);

class AttachFORM final : public QWidget {
    Q_OBJECT
public:
    AttachFORM(const Session& session, Prompter& prompter, QWidget* parent = nullptr);

    // Hands the attachments to the desktop.
    DesktopOpener& desktop() const { return *m_desktop; }

    QTreeView* LV1() const { return m_lv1; }
    // The line above the list that says where the attachments come from.
    QLabel* FromLabel() const { return m_from; }
    const AttachmentTableModel& rows() const { return m_rows; }
    // "Examine Attachment" (and a double-click on a row): opens the selected attachment.
    void ExamineSelected();
    // "Get Colom Widths": the columns' widths in twips into the four labels.
    void GetColomWidths();
    const std::array<QLabel*, AttachmentTableModel::kColumns>& widthLabels() const { return m_widthLabels; }

private:
    const Session& m_session;
    Prompter& m_prompter;
    DesktopOpener* m_desktop = nullptr;
    AttachmentTableModel m_rows;
    QTreeView* m_lv1 = nullptr;
    QLabel* m_from = nullptr;
    std::array<QLabel*, AttachmentTableModel::kColumns> m_widthLabels {};
};

} // namespace pellam
