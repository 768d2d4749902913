#include "logs/ui/DocViewer.h"

#include "base/Twips.h"
#include "richtext/RtfReader.h"
#include "richtext/ui/PrintView.h"
#include "richtext/ui/TextDocumentBuilder.h"
#include "workspace/IncidentPaths.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace pellam {
namespace {

struct LogCaptions {
    const char* tab;
    const char* label;
    const char* printEntry;
    const char* printName;
};

constexpr std::array<LogCaptions, DocViewer::kLogs> kCaptions = {{
    {"Main Log", "Viewing Main Log", "Main Log", "mnuMain"},
    {"NOC Communications Log", "Viewing NOC Communications Log", "NOC Log", "mnuNOC"},
    {"ADMIN Communications Log", "Viewing ADMIN Communications Log", "ADMIN Log", "mnuAdmin"},
    {"Negotiator Position Paper", "Viewing Negotiator Position Paper", "NPP Paper", "mnuNPP"},
}};

} // namespace

DocViewer::DocViewer(LogViewerInput input, Prompter& prompter, QWidget* parent)
    : QMainWindow(parent), m_input(std::move(input)), m_prompter(prompter)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName("DocViewer");
    setWindowTitle("Incident Log Viewer");

    QMenu* print = menuBar()->addMenu("Print");
    print->setObjectName("mnuMainPrint");

    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* viewing = new QLabel("Viewing", central);
    viewing->setObjectName("Label1");
    viewing->move(TwipsToPixels(120), 0);
    m_tabs = new QTabWidget(central);
    m_tabs->setObjectName("SSTab1");

    for (int i = 0; i < kLogs; ++i) {
        const auto& c = kCaptions[static_cast<std::size_t>(i)];
        auto* page = new QWidget;
        auto* label = new QLabel(c.label, page);
        label->move(TwipsToPixels(120), TwipsToPixels(120));
        auto* box = new QTextEdit(page);
        box->setObjectName(QString("RTB%1").arg(i));
        box->setReadOnly(true);
        box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        box->move(TwipsToPixels(120), TwipsToPixels(480));
        m_boxes[static_cast<std::size_t>(i)] = box;
        m_tabs->addTab(page, c.tab);

        auto* text = new QLineEdit(central);
        text->setObjectName(QString("Text%1").arg(i + 1));
        auto* button = new QPushButton("SEARCH", central);
        button->setObjectName(QString("Command%1").arg(i + 1));
        m_searchBoxes[static_cast<std::size_t>(i)] = text;
        m_searchButtons[static_cast<std::size_t>(i)] = button;
        connect(button, &QPushButton::clicked, this, [this, i] { Search(i); });
        connect(text, &QLineEdit::returnPressed, this, [this, i] { Search(i); });

        QAction* entry = print->addAction(c.printEntry);
        entry->setObjectName(c.printName);
        m_printEntries[static_cast<std::size_t>(i)] = entry;
        connect(entry, &QAction::triggered, this, [this, i] {
            const std::string& path = m_input.paths[static_cast<std::size_t>(i)];
            if (path != kNone)
                emit printRequested(QString::fromStdString(path));
        });
    }
    print->addSeparator();
    QAction* preview = print->addAction("Print Preview");
    preview->setObjectName("mnuPreview");
    connect(preview, &QAction::triggered, this, [this] { PreviewLog(); });
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) { ShowSearchPair(index); });

    // The Main Log box: double-click plays a notation, a click highlights a
    // recording name once the box has moved its caret.
    m_boxes[0]->viewport()->installEventFilter(this);
    m_mp3Tim.setInterval(20);
    m_mp3Tim.setSingleShot(false);
    connect(&m_mp3Tim, &QTimer::timeout, this, [this] {
        m_mp3Tim.stop();
        MainLogClicked(m_boxes[0]->textCursor().position());
    });

    resize(TwipsToPixels(kMinimumWidthTwips), TwipsToPixels(8000));
    Load();
}

void DocViewer::Load()
{
    for (auto* box : m_searchBoxes)
        box->clear();
    ShowSearchPair(0);
    for (int i = 0; i < kLogs; ++i) {
        const auto idx = static_cast<std::size_t>(i);
        const std::string& path = m_input.paths[idx];
        if (path == kNone) {
            m_tabs->setTabVisible(i, false);
            m_printEntries[idx]->setVisible(false);
            continue;
        }
        const auto doc = LoadRichTextFile(path);
        if (!doc) {
            m_prompter.Show(
                Message {"Load Error", std::string("Error opening ") + kLineBreak + m_input.evidenceFolder + "/",
                    MessageIcon::Critical, path + "\n" + Describe(doc.error())});
            return;
        }
        FillTextDocument(*m_boxes[idx]->document(), *doc);
        // The box's caret followed the inserted text to the end; a log opens at
        // its top, and a caret at the end would have the box lay out the whole
        // log at once to show it.
        m_boxes[idx]->setTextCursor(QTextCursor(m_boxes[idx]->document()));
        m_text[idx] = doc->PlainText();
        m_positions[idx] = TextPositions(*doc);
        m_printEntries[idx]->setVisible(true);
    }
    setWindowTitle(QString::fromStdString(" Incident Log Viewer - Case Number: " + m_input.caseNumber));
    m_open = true;
}

void DocViewer::ShowSearchPair(int log)
{
    for (int i = 0; i < kLogs; ++i) {
        m_searchBoxes[static_cast<std::size_t>(i)]->setVisible(i == log);
        m_searchButtons[static_cast<std::size_t>(i)]->setVisible(i == log);
    }
}

void DocViewer::Search(int log)
{
    const auto idx = static_cast<std::size_t>(log);
    QTextEdit* box = m_boxes[idx];
    const TextPositions& map = m_positions[idx];
    const QString t = m_searchBoxes[idx]->text();
    const std::u16string text16(reinterpret_cast<const char16_t*>(t.utf16()), static_cast<std::size_t>(t.size()));

    const QTextCursor current = box->textCursor();
    const auto selection
        = static_cast<std::int32_t>(map.ToDocument(current.selectionEnd()) - map.ToDocument(current.selectionStart()));
    const SearchStepResult step = SearchStep(m_search[idx], text16, m_text[idx], selection);
    if (step.clearSelection) {
        QTextCursor top(box->document());
        box->setTextCursor(top);
    }
    if (step.selectStart) {
        QTextCursor c(box->document());
        c.setPosition(static_cast<int>(map.ToView(*step.selectStart)));
        c.setPosition(static_cast<int>(map.ToView(*step.selectStart + step.selectLength)), QTextCursor::KeepAnchor);
        box->setTextCursor(c);
    }
    if (step.message)
        m_prompter.Show(*step.message);
}

QPrintPreviewDialog* DocViewer::PreviewLog()
{
    const int log = m_tabs->currentIndex();
    if (log < 0 || log >= kLogs)
        return nullptr;
    const std::string& path = m_input.paths[static_cast<std::size_t>(log)];
    if (path == kNone)
        return nullptr;
    // The file on disk, as printing takes it, not the box on screen.
    const auto doc = LoadRichTextFile(path);
    if (!doc)
        return nullptr;
    auto* dialog = new QPrintPreviewDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QTextDocument* text = BuildTextDocument(*doc, dialog).release();
    connect(dialog, &QPrintPreviewDialog::paintRequested, text,
        [text](QPrinter* printer) { PrintRichText(*text, *printer, kLogMargins); });
    dialog->open();
    return dialog;
}

void DocViewer::MainLogDoubleClicked(int viewPos)
{
    const auto caret = static_cast<std::int32_t>(m_positions[0].ToDocument(viewPos));
    setCursor(Qt::WaitCursor);
    const auto note = NotationAtCaret(m_text[0], caret);
    unsetCursor();
    if (note)
        emit notationActivated(QString::fromStdString(note->NoteAudioMP3), note->NoteAudioStart);
}

void DocViewer::MainLogClicked(int viewPos)
{
    MP3LT caret;
    caret.CarrotPOS = static_cast<std::int32_t>(m_positions[0].ToDocument(viewPos));
    if (!LandedMP3(m_text[0], m_input.caseNumber, caret))
        return;
    QTextCursor c(m_boxes[0]->document());
    c.setPosition(static_cast<int>(m_positions[0].ToView(caret.Start)));
    c.setPosition(static_cast<int>(m_positions[0].ToView(caret.Stop)), QTextCursor::KeepAnchor);
    m_boxes[0]->setTextCursor(c);
}

bool DocViewer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_boxes[0]->viewport()) {
        if (event->type() == QEvent::MouseButtonDblClick) {
            // Let the box select the word first; the caret is its start.
            QTimer::singleShot(0, this, [this] { MainLogDoubleClicked(m_boxes[0]->textCursor().selectionStart()); });
        } else if (event->type() == QEvent::MouseButtonPress
            && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            m_mp3Tim.start();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void DocViewer::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Layout();
}

void DocViewer::Layout()
{
    const int minimum = TwipsToPixels(kMinimumWidthTwips);
    if (width() < minimum) {
        resize(minimum, height());
        return;
    }
    const int top = TwipsToPixels(240);
    const int tabWidth = std::max(0, width() - TwipsToPixels(360));
    const int tabHeight = std::max(0, height() - TwipsToPixels(750));
    m_tabs->setGeometry(TwipsToPixels(120), top, tabWidth, tabHeight);
    for (int i = 0; i < kLogs; ++i) {
        const auto idx = static_cast<std::size_t>(i);
        m_boxes[idx]->resize(std::max(0, tabWidth - TwipsToPixels(450)), std::max(0, tabHeight - TwipsToPixels(1200)));
        QPushButton* button = m_searchButtons[idx];
        QLineEdit* text = m_searchBoxes[idx];
        const int buttonLeft = m_tabs->x() + tabWidth - TwipsToPixels(1575);
        const int rowTop = top + m_tabs->tabBar()->sizeHint().height() + TwipsToPixels(90);
        button->setGeometry(buttonLeft, rowTop, TwipsToPixels(1335), TwipsToPixels(330));
        text->setGeometry(buttonLeft - TwipsToPixels(3240), rowTop, TwipsToPixels(3120), TwipsToPixels(330));
        button->raise();
        text->raise();
    }
}

void DocViewer::closeEvent(QCloseEvent* event)
{
    m_open = false;
    emit closed();
    QMainWindow::closeEvent(event);
}

} // namespace pellam
