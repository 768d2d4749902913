#pragma once
// The record sheet window: one person's sheet, read-only, with the photo, a
// print button and an exit button. The sheet is built 20 ms after the window
// opens (GetNewPicTIM). The photo goes into the sheet as a picture of the
// document, which cannot fail once the photo has loaded.
#include "base/FolderPath.h"
#include "records/RecordTable.h"
#include "richtext/RichDocument.h"
#include "richtext/ui/PrintView.h"
#include "richtext/ui/TextDocumentBuilder.h"
#include "workspace/RoleTable.h"

#include <QTimer>
#include <QWidget>

#include <cstdint>

class QLineEdit;
class QPushButton;
class QTextEdit;

namespace pellam {

class RCEV final : public QWidget {
    Q_OBJECT
public:
    // The photo box's side.
    static constexpr int kPhotoBoxTwips = 2700;

    // The sheet prints on the printer `choosePrinter` gives (the system's printer dialog when unset).
    RCEV(const RecordTable& table, const RoleTable& roles, std::int16_t role, std::int16_t person, FolderPath picPath,
        std::string today, PrinterChooser choosePrinter = {}, QWidget* parent = nullptr);

    const std::string& PhotoNote() const { return m_photoNote; }
    // Why the photo is not shown ("" when it is, or when there is none).
    const std::string& PhotoReason() const { return m_photoReason; }
    const RichDocument& Sheet() const { return m_sheet; }
    QTextEdit* RTB() const { return m_rtb; }

    void GetNewPicTIMTick();
    void PrintThisRecord();

signals:
    // "Mark This Person…" of the sheet's context menu.
    void markRequested(int role, int person);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Fillerup();

    const RecordTable& m_table;
    const RoleTable& m_roles;
    std::int16_t m_role;
    std::int16_t m_person;
    std::string m_today;
    PrinterChooser m_choosePrinter;
    std::string m_photoNote;
    std::string m_photoReason;
    Pictures m_pictures;
    RichDocument m_sheet;

    QTextEdit* m_rtb = nullptr;
    QWidget* m_rtBack = nullptr;
    QLineEdit* m_text1 = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_exit = nullptr;
    QTimer m_getNewPic {this};
    QTimer m_timer1 {this};
};

} // namespace pellam
