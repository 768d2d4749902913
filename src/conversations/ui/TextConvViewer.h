#pragma once
// The text conversation viewer: up to four text-message conversations of the
// incident, one tab each with the contact's name and phone number above the
// text. A received file named in square brackets opens with a double-click;
// the current conversation prints; the received files' folder opens in the
// file manager.
#include "base/FolderPath.h"
#include "base/Prompter.h"
#include "conversations/Conversations.h"
#include "richtext/RichDocument.h"
#include "richtext/TextPositions.h"
#include "richtext/ui/PrintView.h"
#include "workspace/ui/DesktopOpen.h"

#include <QTimer>
#include <QWidget>

#include <array>
#include <optional>
#include <string>

class QLabel;
class QPushButton;
class QTabWidget;
class QTextEdit;

namespace pellam {

// What the viewer reads: the evidence folder and case the conversation files
// are found by, and how the printer is chosen (the system's printer dialog
// when unset).
struct ConversationsInput {
    FolderPath evidenceFolder;
    std::string caseNumber;
    PrinterChooser choosePrinter;
};

class TextConvViewer final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTabs = ConversationIndex::kConversations;

    TextConvViewer(ConversationsInput input, Prompter& prompter, QWidget* parent = nullptr);

    // Hands received files and their folder to the desktop.
    DesktopOpener& desktop() const { return *m_desktop; }

    QTabWidget* SSTab1() const { return m_tabs; }
    QTextEdit* RTB(int tab) const { return m_boxes[static_cast<std::size_t>(tab)]; }
    QLabel* Label1() const { return m_none; }
    QLabel* Label2() const { return m_contact; }
    QLabel* Label3() const { return m_phone; }
    QPushButton* PrintButton() const { return m_print; }
    QPushButton* FolderButton() const { return m_folder; }

    // LTIM: once the window shows, the first conversation's tab and contact.
    void LTIMTick();
    // A left button press in conversation box `tab`: the name check runs
    // once the box has moved its caret.
    void BoxPressed(int tab);
    // TxCheckr_TIM: the bracketed name around the caret of the pressed box, selected when it may be opened.
    void FinishCheck();
    // A double-click in a conversation box: opens the name FinishCheck selected.
    void BoxDoubleClicked();
    // The name FinishCheck found, when it may be opened.
    std::optional<std::string> ReadyName() const;

    // Shows conversation `slot` (1..4) with the document positions [start, end) selected and in view.
    void ShowRange(int slot, std::int64_t start, std::int64_t end);
    // "Mark This Line…" of the context menu at view position viewPos of tab's box.
    void RequestMark(int tab, int viewPos);

    // "Print": the conversation on the current tab. False when nothing printed.
    bool PrintCurrent();
    // "Open TextData Folder".
    void OpenTextFolder();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // The examiner asked for a mark at document position `position` of conversation `slot` (1..4).
    void markRequested(int slot, qint64 position);

private:
    void LoadUpTextFiles();
    bool RestoreConversation(int slot);
    void ShowContact(int tab);
    FolderPath TextFolder() const;

    const ConversationsInput m_input;
    Prompter& m_prompter;
    DesktopOpener* m_desktop = nullptr;
    ConversationIndex m_index;
    std::array<RichDocument, kTabs> m_docs;
    std::array<std::u16string, kTabs> m_text;
    std::array<TextPositions, kTabs> m_positions;

    QTabWidget* m_tabs = nullptr;
    std::array<QTextEdit*, kTabs> m_boxes {};
    QLabel* m_none = nullptr;
    QLabel* m_contact = nullptr;
    QLabel* m_phone = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_folder = nullptr;
    QTimer m_ltim;
    QTimer m_txCheckr;

    // The link check: the box last pressed, and the name found around its caret.
    int m_clickedBox = -1;
    bool m_ready = false;
    std::string m_name;
};

} // namespace pellam
