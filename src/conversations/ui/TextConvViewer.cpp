#include "conversations/ui/TextConvViewer.h"

#include "attachments/Examine.h"
#include "attachments/ui/ExamineFile.h"
#include "base/PathText.h"
#include "base/Twips.h"
#include "richtext/RtfReader.h"
#include "richtext/ui/DocumentBox.h"
#include "richtext/ui/PrintView.h"
#include "richtext/ui/TextDocumentBuilder.h"

#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace pellam {

TextConvViewer::TextConvViewer(ConversationsInput input, Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Window), m_input(std::move(input)), m_prompter(prompter),
      m_desktop(new DesktopOpener(prompter, this))
{
    setObjectName("TextConvViewer");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Text Conversation Viewer");
    resize(TwipsToPixels(9600), TwipsToPixels(7800));

    m_contact = new QLabel(this);
    m_contact->setObjectName("Label2");
    QFont bold = m_contact->font();
    bold.setBold(true);
    m_contact->setFont(bold);
    m_phone = new QLabel(this);
    m_phone->setObjectName("Label3");
    m_phone->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* contactRow = new QHBoxLayout;
    contactRow->addWidget(m_contact);
    contactRow->addSpacing(TwipsToPixels(480));
    contactRow->addWidget(m_phone);
    contactRow->addStretch(1);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName("SSTab1");
    for (int i = 0; i < kTabs; ++i) {
        auto* box = NewDocumentBox(nullptr, QString("RTB%1").arg(i), "Mark This Line\u2026",
            [this, i](int viewPos) { RequestMark(i, viewPos); });
        box->viewport()->installEventFilter(this);
        m_boxes[static_cast<std::size_t>(i)] = box;
        m_tabs->addTab(box, QString("Tab %1").arg(i));
    }
    // The no-conversations note lies under the tabs and shows while they are hidden.
    m_none = new QLabel("There were no text conversations logged during this event.", this);
    m_none->setObjectName("Label1");
    m_none->setAlignment(Qt::AlignCenter);
    auto* stack = new QGridLayout;
    stack->addWidget(m_none, 0, 0);
    stack->addWidget(m_tabs, 0, 0);

    m_print = new QPushButton("Print", this);
    m_print->setObjectName("Command1");
    m_folder = new QPushButton("Open TextData Folder", this);
    m_folder->setObjectName("Command2");
    auto* exit = new QPushButton("Exit", this);
    exit->setObjectName("Command3");
    connect(m_print, &QPushButton::clicked, this, &TextConvViewer::PrintCurrent);
    connect(m_folder, &QPushButton::clicked, this, &TextConvViewer::OpenTextFolder);
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_print);
    buttons->addWidget(m_folder);
    buttons->addStretch(1);
    buttons->addWidget(exit);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(contactRow);
    layout->addLayout(stack, 1);
    layout->addLayout(buttons);

    m_ltim.setInterval(20);
    m_ltim.setSingleShot(true);
    connect(&m_ltim, &QTimer::timeout, this, &TextConvViewer::LTIMTick);
    m_txCheckr.setInterval(15);
    m_txCheckr.setSingleShot(true);
    connect(&m_txCheckr, &QTimer::timeout, this, &TextConvViewer::FinishCheck);
    connect(m_tabs, &QTabWidget::currentChanged, this, &TextConvViewer::ShowContact);

    m_tabs->hide();
    for (int i = 0; i < kTabs; ++i)
        m_tabs->setTabVisible(i, false);
    m_folder->hide();
    LoadUpTextFiles();
}

void TextConvViewer::LoadUpTextFiles()
{
    m_print->hide();
    auto index = ReadConversationIndex(m_input.evidenceFolder.Join("TxT.dat"));
    if (!index)
        return; // no conversation; the note says so
    m_index = std::move(index).value();
    bool any = false;
    for (int slot = 1; slot <= kTabs; ++slot)
        if (m_index.entries[static_cast<std::size_t>(slot)].active)
            any = RestoreConversation(slot) || any;
    // Only a conversation that loaded gives something to print and a folder to show.
    m_print->setVisible(any);
    m_folder->setVisible(any);
    m_ltim.start();
}

bool TextConvViewer::RestoreConversation(int slot)
{
    const int tab = slot - 1;
    const auto t = static_cast<std::size_t>(tab);
    auto doc = LoadRichTextFile(ConversationFile(m_input.evidenceFolder, m_input.caseNumber, slot));
    if (!doc)
        return false;
    m_docs[t] = std::move(doc).value();
    m_text[t] = m_docs[t].PlainText();
    m_positions[t] = TextPositions(m_docs[t]);
    FillTextDocument(*m_boxes[t]->document(), m_docs[t]);
    m_tabs->show();
    m_none->hide(); // the tabs cover it; its text must not shine through a conversation
    m_tabs->setTabVisible(tab, true);
    m_tabs->setTabText(tab, QString::fromStdString(m_index.entries[static_cast<std::size_t>(slot)].contact));
    return true;
}

void TextConvViewer::LTIMTick()
{
    m_ltim.stop();
    if (!m_folder->isVisibleTo(this))
        return;
    for (int tab = 0; tab < kTabs; ++tab)
        if (m_tabs->isTabVisible(tab)) {
            m_tabs->setCurrentIndex(tab);
            ShowContact(tab);
            return;
        }
}

void TextConvViewer::ShowRange(int slot, std::int64_t start, std::int64_t end)
{
    const int tab = slot - 1;
    if (tab < 0 || tab >= kTabs || !m_tabs->isTabVisible(tab))
        return;
    m_ltim.stop(); // this tab, not the first one
    m_tabs->setCurrentIndex(tab);
    ShowContact(tab);
    const auto t = static_cast<std::size_t>(tab);
    QTextEdit* box = m_boxes[t];
    const auto last = static_cast<std::int64_t>(box->document()->characterCount() - 1);
    QTextCursor c(box->document());
    c.setPosition(static_cast<int>(std::clamp<std::int64_t>(m_positions[t].ToView(start), 0, last)));
    c.setPosition(
        static_cast<int>(std::clamp<std::int64_t>(m_positions[t].ToView(end), 0, last)), QTextCursor::KeepAnchor);
    box->setTextCursor(c);
    box->ensureCursorVisible();
}

void TextConvViewer::RequestMark(int tab, int viewPos)
{
    if (tab < 0 || tab >= kTabs)
        return;
    emit markRequested(tab + 1, m_positions[static_cast<std::size_t>(tab)].ToDocument(viewPos));
}

void TextConvViewer::ShowContact(int tab)
{
    if (tab < 0 || tab >= kTabs)
        return;
    const ConversationSlot& slot = m_index.entries[static_cast<std::size_t>(tab + 1)];
    m_contact->setText(QString::fromStdString(slot.contact));
    m_phone->setText(QString::fromStdString(FormatPhone(slot.phone)));
}

void TextConvViewer::BoxPressed(int tab)
{
    m_clickedBox = tab;
    m_ready = false;
    m_name.clear();
    m_txCheckr.start();
}

void TextConvViewer::FinishCheck()
{
    m_txCheckr.stop();
    m_ready = false;
    if (m_clickedBox < 0 || m_clickedBox >= kTabs)
        return;
    const auto t = static_cast<std::size_t>(m_clickedBox);
    QTextEdit* box = m_boxes[t];
    const auto click = static_cast<std::int32_t>(m_positions[t].ToDocument(box->textCursor().position()));
    const auto found = FindBracketedName(m_text[t], click);
    if (!found || !CheckAttachmentName(found->name))
        return;
    m_name = found->name;
    m_ready = true;
    QTextCursor c(box->document());
    c.setPosition(static_cast<int>(m_positions[t].ToView(found->start)));
    c.setPosition(static_cast<int>(m_positions[t].ToView(found->end)), QTextCursor::KeepAnchor);
    box->setTextCursor(c);
}

std::optional<std::string> TextConvViewer::ReadyName() const
{
    if (!m_ready || m_name.empty())
        return std::nullopt;
    return m_name;
}

void TextConvViewer::BoxDoubleClicked()
{
    const auto name = ReadyName();
    if (!name)
        return;
    // Only files inside the received files' folder are ever opened.
    const auto path = FileInFolder(TextFolder(), *name);
    if (!path) {
        m_prompter.Show(ExamineMessage(path.error()));
        return;
    }
    Examine(path.value(), *m_desktop);
}

FolderPath TextConvViewer::TextFolder() const
{
    return m_input.evidenceFolder.Sub("TextFiles");
}

void TextConvViewer::OpenTextFolder()
{
    m_desktop->Open(TextFolder().str(), DesktopRefusal);
}

bool TextConvViewer::PrintCurrent()
{
    const int tab = m_tabs->currentIndex();
    if (tab < 0 || tab >= kTabs || !m_tabs->isTabVisible(tab))
        return false;
    const std::string& contact = m_index.entries[static_cast<std::size_t>(tab + 1)].contact;
    return PrintDocument(m_docs[static_cast<std::size_t>(tab)],
               contact.empty() ? "Conversation" : "Conversation with " + contact, kLogMargins, m_input.choosePrinter,
               this)
        == PrintOutcome::Printed;
}

bool TextConvViewer::eventFilter(QObject* watched, QEvent* event)
{
    for (int i = 0; i < kTabs; ++i) {
        if (watched != m_boxes[static_cast<std::size_t>(i)]->viewport())
            continue;
        if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            BoxPressed(i);
        else if (event->type() == QEvent::MouseButtonDblClick)
            // After the box has handled the click, and outside its event.
            QTimer::singleShot(0, this, &TextConvViewer::BoxDoubleClicked);
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace pellam
