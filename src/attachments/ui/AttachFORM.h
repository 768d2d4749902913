#pragma once
// The attachments window: the documents the incident system attached to the
// incident, as "ATCH.lst" lists them, each opened on request with the program
// the desktop associates with its type.
#include "attachments/ui/AttachmentTableModel.h"
#include "attachments/ui/ExamineFile.h"
#include "base/Prompter.h"
#include "workspace/AttachmentFolder.h"
#include "workspace/SysConfig.h"

#include <QWidget>

#include <array>
#include <string>
#include <vector>

class QLabel;
class QTreeView;

namespace pellam {

// What the attachments window reads: the case it is titled with, the list as
// read, and where the listed files are on this machine.
struct AttachmentsInput {
    std::string caseNumber;
    AttachmentList attachments;
    AttachmentFolder folder;
};

class AttachFORM final : public QWidget {
    Q_OBJECT
public:
    AttachFORM(AttachmentsInput input, Prompter& prompter, QWidget* parent = nullptr);

    // Hands the attachments to the desktop.
    DesktopOpener& desktop() const { return *m_desktop; }

    QTreeView* LV1() const { return m_lv1; }
    // The line above the list that says where the attachments come from.
    QLabel* FromLabel() const { return m_from; }
    const AttachmentTableModel& rows() const { return m_rows; }
    // Selects list row `row` (from 0) and scrolls it into view.
    void SelectRow(int row);
    // "Examine Attachment" (and a double-click on a row): opens the selected attachment.
    void ExamineSelected();
    // "Get Colom Widths": the columns' widths in twips into the four labels.
    void GetColomWidths();
    const std::array<QLabel*, AttachmentTableModel::kColumns>& widthLabels() const { return m_widthLabels; }

private:
    const AttachmentsInput m_input;
    Prompter& m_prompter;
    DesktopOpener* m_desktop = nullptr;
    AttachmentTableModel m_rows;
    QTreeView* m_lv1 = nullptr;
    QLabel* m_from = nullptr;
    std::array<QLabel*, AttachmentTableModel::kColumns> m_widthLabels {};
};

} // namespace pellam
