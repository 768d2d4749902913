#include "logs/ui/DocViewer.h"

#include "base/Twips.h"
#include "logs/LogParts.h"
#include "richtext/RtfReader.h"
#include "richtext/ui/DocumentBox.h"
#include "richtext/ui/PrintSettings.h"
#include "richtext/ui/PrintView.h"
#include "richtext/ui/TextDocumentBuilder.h"
#include "workspace/IncidentPaths.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
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
#include <QToolButton>

#include <ctime>

#include <cstdio>
#include <filesystem>

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

// Where the viewer's parts go for its size, in twips, given the height of
// the tab bar and of the part buttons under a box (0 when it has none): the
// tabs with a 120-twip border, on each tab its log box, and the search pair
// at the right end of the row under the tab bar. The box is placed within
// its tab page.
struct LogWindowLayout {
    TwipsBox tabs;
    TwipsBox box;
    TwipsBox pager;
    TwipsBox searchButton;
    TwipsBox searchBox;
};

LogWindowLayout LayoutLogWindow(int width, int height, int tabBar, int pager)
{
    LogWindowLayout l;
    l.tabs = {120, 240, std::max(0, width - 360), std::max(0, height - 750)};
    const int boxHeight = std::max(0, l.tabs.height - 1200);
    pager = std::min(pager, boxHeight);
    l.box = {120, 480, std::max(0, l.tabs.width - 450), boxHeight - pager};
    l.pager = {l.box.x, l.box.bottom(), l.box.width, pager};
    const int rowTop = l.tabs.y + tabBar + 90;
    l.searchButton = {l.tabs.right() - 1575, rowTop, 1335, 330};
    l.searchBox = {l.searchButton.x - 3240, rowTop, 3120, 330};
    return l;
}

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
        auto* box = NewDocumentBox(page, QString("RTB%1").arg(i), "Mark This Entry\u2026",
            [this, i](int viewPos) { RequestMark(i, viewPos); });
        m_boxes[static_cast<std::size_t>(i)] = box;
        m_tabs->addTab(page, c.tab);

        // Under the box of a log shown in parts: the way from part to part.
        auto* pager = new QWidget(page);
        pager->setVisible(false);
        auto* back = new QToolButton(pager);
        back->setObjectName(QString("PartBack%1").arg(i));
        back->setText("< Previous part");
        auto* partLabel = new QLabel(pager);
        partLabel->setObjectName(QString("PartLabel%1").arg(i));
        auto* next = new QToolButton(pager);
        next->setObjectName(QString("PartNext%1").arg(i));
        next->setText("Next part >");
        auto* row = new QHBoxLayout(pager);
        row->setContentsMargins(0, 0, 0, 0);
        row->addWidget(back);
        row->addWidget(partLabel, 1);
        row->addWidget(next);
        connect(back, &QToolButton::clicked, this, [this, i] { ShowPart(i, shownPart(i) - 1); });
        connect(next, &QToolButton::clicked, this, [this, i] { ShowPart(i, shownPart(i) + 1); });
        m_pagers[static_cast<std::size_t>(i)] = pager;
        m_partLabels[static_cast<std::size_t>(i)] = partLabel;
        m_partBack[static_cast<std::size_t>(i)] = back;
        m_partNext[static_cast<std::size_t>(i)] = next;

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
    m_mp3Tim.setObjectName("mp3TIM1");
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
        auto doc = LoadRichTextFile(path);
        if (!doc) {
            m_prompter.Show(Message {"Load Error",
                std::string("Error opening ") + kLineBreak + m_input.evidenceFolder.WithSeparator(),
                MessageIcon::Critical, path + "\n" + Describe(doc.error())});
            return;
        }
        m_docs[idx] = std::move(doc).value();
        m_positions[idx] = TextPositions(m_docs[idx]);
        m_parts[idx] = LogParts(m_docs[idx]);
        m_part[idx] = 0;
        ShowPart(i, 0);
        m_pagers[idx]->setVisible(m_parts[idx].size() > 1);
        m_printEntries[idx]->setVisible(true);
        if (m_parts[idx].size() > 1) {
            std::error_code ec;
            const auto bytes = std::filesystem::file_size(path, ec);
            char size[32];
            std::snprintf(size, sizeof size, "%.1f MB", ec ? 0.0 : static_cast<double>(bytes) / 1e6);
            m_prompter.Show(Message {"Large Log",
                std::string("The ") + kCaptions[idx].tab + " is " + size
                    + ", more than the viewer lays out at once (1,000,000 characters or 20,000 lines). It is shown in "
                    + std::to_string(m_parts[idx].size())
                    + " parts; the buttons under the log move from part to part, and search and notations work on "
                      "the whole log.",
                MessageIcon::Information, path});
        }
    }
    Layout();
    setWindowTitle(QString::fromStdString(" Incident Log Viewer - Case Number: " + m_input.caseNumber));
    m_open = true;
}

void DocViewer::ShowPart(int log, std::size_t part)
{
    const auto idx = static_cast<std::size_t>(log);
    const std::vector<std::size_t>& parts = m_parts[idx];
    if (part >= parts.size())
        return;
    m_part[idx] = part;
    const std::size_t from = parts[part];
    const std::size_t to = part + 1 < parts.size() ? parts[part + 1] : m_docs[idx].PlainLength();
    FillTextDocument(*m_boxes[idx]->document(), m_docs[idx], {}, from, to);
    // The box's caret followed the inserted text to the end; a log opens at
    // its top, and a caret at the end would have the box lay out the whole
    // part at once to show it.
    m_boxes[idx]->setTextCursor(QTextCursor(m_boxes[idx]->document()));
    m_partLabels[idx]->setText(QString("Part %1 of %2").arg(part + 1).arg(parts.size()));
    m_partBack[idx]->setEnabled(part > 0);
    m_partNext[idx]->setEnabled(part + 1 < parts.size());
}

std::int64_t DocViewer::PartViewStart(int log) const
{
    const auto idx = static_cast<std::size_t>(log);
    if (m_parts[idx].empty())
        return 0;
    return m_positions[idx].ToView(static_cast<std::int64_t>(m_parts[idx][m_part[idx]]));
}

std::int64_t DocViewer::ToDocument(int log, int viewPos) const
{
    return m_positions[static_cast<std::size_t>(log)].ToDocument(viewPos + PartViewStart(log));
}

void DocViewer::RequestMark(int log, int viewPos)
{
    emit markRequested(log, ToDocument(log, viewPos));
}

void DocViewer::ShowRange(int log, std::int64_t start, std::int64_t end)
{
    if (log < 0 || log >= kLogs || !m_tabs->isTabVisible(log))
        return;
    m_tabs->setCurrentIndex(log);
    SelectDocumentRange(log, start, end);
    m_boxes[static_cast<std::size_t>(log)]->ensureCursorVisible();
}

void DocViewer::SelectDocumentRange(int log, std::int64_t start, std::int64_t end)
{
    const auto idx = static_cast<std::size_t>(log);
    if (m_parts[idx].empty())
        return;
    const std::size_t part = PartOf(m_parts[idx], static_cast<std::size_t>(std::max<std::int64_t>(start, 0)));
    if (part != m_part[idx])
        ShowPart(log, part);
    // A range running on past the part's end is selected up to it.
    QTextEdit* box = m_boxes[idx];
    const std::int64_t offset = PartViewStart(log);
    const std::int64_t last = box->document()->characterCount() - 1;
    const auto local = [&](std::int64_t pos) {
        return static_cast<int>(std::clamp<std::int64_t>(m_positions[idx].ToView(pos) - offset, 0, last));
    };
    QTextCursor c(box->document());
    c.setPosition(local(start));
    c.setPosition(local(end), QTextCursor::KeepAnchor);
    box->setTextCursor(c);
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
    const QString t = m_searchBoxes[idx]->text();
    const std::u16string text16(reinterpret_cast<const char16_t*>(t.utf16()), static_cast<std::size_t>(t.size()));

    const QTextCursor current = box->textCursor();
    const auto selection = static_cast<std::int32_t>(
        ToDocument(log, current.selectionEnd()) - ToDocument(log, current.selectionStart()));
    const SearchStepResult step = SearchStep(m_search[idx], text16, m_docs[idx].PlainText(), selection);
    if (step.clearSelection && !step.selectStart) {
        // The top of the log, in its first part.
        if (m_part[idx] != 0)
            ShowPart(log, 0);
        box->setTextCursor(QTextCursor(box->document()));
    }
    if (step.selectStart)
        SelectDocumentRange(log, *step.selectStart, *step.selectStart + step.selectLength);
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
    // The preview shows the footer the printout will carry.
    constexpr const char* kNames[kLogs] = {"Main Log", "NOC Log", "Admin Log", "NPP Report"};
    const PrintStamp stamp {
        m_input.caseNumber, kNames[log], PrintedWhen(std::time(nullptr)), KnownExaminer().value_or("")};
    connect(dialog, &QPrintPreviewDialog::paintRequested, text,
        [text, stamp](QPrinter* printer) { PrintRichText(*text, *printer, kLogMargins, stamp); });
    dialog->open();
    return dialog;
}

void DocViewer::MainLogDoubleClicked(int viewPos)
{
    const auto caret = static_cast<std::int32_t>(ToDocument(0, viewPos));
    setCursor(Qt::WaitCursor);
    const auto note = NotationAtCaret(m_docs[0].PlainText(), caret);
    unsetCursor();
    if (note)
        emit notationActivated(QString::fromStdString(note->NoteAudioMP3), note->NoteAudioStart);
}

void DocViewer::MainLogClicked(int viewPos)
{
    MP3LT caret;
    caret.CarrotPOS = static_cast<std::int32_t>(ToDocument(0, viewPos));
    if (!LandedMP3(m_docs[0].PlainText(), m_input.caseNumber, caret))
        return;
    SelectDocumentRange(0, caret.Start, caret.Stop);
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
    const int w = PixelsToTwips(width()), h = PixelsToTwips(height());
    const int tabBar = PixelsToTwips(m_tabs->tabBar()->sizeHint().height());
    PlaceInTwips(*m_tabs, LayoutLogWindow(w, h, tabBar, 0).tabs);
    for (int i = 0; i < kLogs; ++i) {
        const auto idx = static_cast<std::size_t>(i);
        // A log shown in parts gives the bottom of its box to the part buttons.
        const int pager = m_pagers[idx]->isVisibleTo(m_pagers[idx]->parentWidget())
            ? PixelsToTwips(m_pagers[idx]->sizeHint().height())
            : 0;
        const LogWindowLayout l = LayoutLogWindow(w, h, tabBar, pager);
        PlaceInTwips(*m_boxes[idx], l.box);
        PlaceInTwips(*m_pagers[idx], l.pager);
        PlaceInTwips(*m_searchButtons[idx], l.searchButton);
        PlaceInTwips(*m_searchBoxes[idx], l.searchBox);
        m_searchButtons[idx]->raise();
        m_searchBoxes[idx]->raise();
    }
}

void DocViewer::closeEvent(QCloseEvent* event)
{
    m_open = false;
    emit closed();
    QMainWindow::closeEvent(event);
}

} // namespace pellam
