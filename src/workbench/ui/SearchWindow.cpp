#include "workbench/ui/SearchWindow.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSortFilterProxyModel>
#include <QStyledItemDelegate>
#include <QTextDocument>
#include <QTreeView>
#include <QVBoxLayout>

namespace pellam {
namespace {

// Draws the context with the hit in bold.
class HitDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString line = opt.text;
        opt.text.clear();
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

        QTextDocument doc;
        doc.setDefaultFont(opt.font);
        doc.setDocumentMargin(0);
        doc.setHtml(Marked(line, index.data(SearchHitModel::HitRole).toPoint()));
        const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette = opt.palette;
        if (opt.state & QStyle::State_Selected)
            context.palette.setColor(QPalette::Text, opt.palette.color(QPalette::HighlightedText));
        painter->save();
        painter->translate(area.left(), area.top() + (area.height() - doc.size().height()) / 2);
        painter->setClipRect(area.translated(-area.topLeft()));
        doc.documentLayout()->draw(painter, context);
        painter->restore();
    }

    // The line as one paragraph of HTML, the hit [hit.x, hit.x + hit.y) in bold.
    static QString Marked(const QString& line, QPoint hit)
    {
        const auto part = [&](qsizetype from, qsizetype n) { return line.mid(from, n).toHtmlEscaped(); };
        return "<span style=\"white-space:pre\">" + part(0, hit.x()) + "<b>" + part(hit.x(), hit.y()) + "</b>"
            + part(hit.x() + hit.y(), -1) + "</span>";
    }
};

} // namespace

SearchWindow::SearchWindow(SearchInput input, QWidget* parent) : QWidget(parent, Qt::Window), m_input(std::move(input))
{
    setObjectName("SearchWindow");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Search Everything");

    m_field = new QLineEdit(this);
    m_field->setObjectName("SearchText");
    m_field->setPlaceholderText("Text to find in the logs, conversations, records and attachments");
    m_field->setClearButtonEnabled(true);
    m_status = new QLabel(this);
    m_status->setObjectName("SearchStatus");

    m_hits = new SearchHitModel(m_input.formats, m_input.roles, this);
    m_proxy = new QSortFilterProxyModel(this);
    m_proxy->setSourceModel(m_hits);
    m_proxy->setSortRole(SearchHitModel::SortRole);
    m_list = new QTreeView(this);
    m_list->setObjectName("SearchHits");
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setItemDelegateForColumn(SearchHitModel::Context, new HitDelegate(m_list));
    m_list->setModel(m_proxy);
    // The hits stay in document order until a header is clicked.
    m_list->header()->setSortIndicator(-1, Qt::AscendingOrder);
    m_list->setSortingEnabled(true);
    m_list->setColumnWidth(SearchHitModel::Source, 180);
    m_list->setColumnWidth(SearchHitModel::Time, 160);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_field);
    layout->addWidget(m_status);
    layout->addWidget(m_list, 1);
    resize(900, 500);

    m_pause.setObjectName("SearchPauseTIM");
    m_pause.setSingleShot(true);
    m_pause.setInterval(kPauseMs);
    connect(&m_pause, &QTimer::timeout, this, &SearchWindow::Search);
    connect(m_field, &QLineEdit::textChanged, this, [this] { m_pause.start(); });
    connect(m_field, &QLineEdit::returnPressed, this, &SearchWindow::Search);
    // Enter on a row, and a double-click, activate it.
    connect(m_list, &QTreeView::activated, this, &SearchWindow::Activate);

    m_status->setText("The incident's documents are being read.");
    m_worker = std::jthread([this](std::stop_token quit) { Work(quit); });
}

SearchWindow::~SearchWindow()
{
    {
        std::lock_guard lock(m_mutex);
        m_current.request_stop();
    }
    m_worker.request_stop();
    m_worker.join();
}

void SearchWindow::SetTexts(std::shared_ptr<const IncidentTexts> texts)
{
    m_texts = std::move(texts);
    m_search = m_texts ? std::make_shared<const IncidentSearch>(m_texts) : nullptr;
    m_status->clear();
    // The documents are folded now, so that the first search finds them ready.
    Post({++m_generation, m_search, {}, {}});
    if (!m_field->text().isEmpty())
        Search();
}

void SearchWindow::Search()
{
    m_pause.stop();
    const QString text = m_field->text();
    if (!m_search) {
        m_status->setText("The incident's documents are being read; the search runs once they are in.");
        return;
    }
    if (text.isEmpty()) {
        ++m_generation;
        Post({m_generation, m_search, {}, {}});
        m_hits->Clear();
        m_status->clear();
        return;
    }
    m_status->setText("Searching…");
    Post({++m_generation, m_search, text.toStdU16String(), {}});
}

void SearchWindow::Post(Job job)
{
    {
        std::lock_guard lock(m_mutex);
        // The search running is no longer wanted.
        m_current.request_stop();
        m_current = std::stop_source();
        job.stop = m_current.get_token();
        m_job = std::move(job);
    }
    m_wake.notify_one();
}

void SearchWindow::Work(std::stop_token quit)
{
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            if (!m_wake.wait(lock, quit, [this] { return m_job.has_value(); }))
                return;
            job = std::move(*m_job);
            m_job.reset();
        }
        if (!job.search)
            continue;
        job.search->Prepare();
        if (job.query.empty() || job.stop.stop_requested())
            continue;
        SearchAnswer answer = job.search->Find(job.query, IncidentSearch::kHitCap, job.stop);
        if (answer.stopped)
            continue;
        // The window joins this thread before it goes, so `this` is alive here.
        QMetaObject::invokeMethod(
            this,
            [this, generation = job.generation, a = std::move(answer)]() mutable { Show(generation, std::move(a)); },
            Qt::QueuedConnection);
    }
}

void SearchWindow::Show(unsigned generation, SearchAnswer answer)
{
    if (generation != m_generation)
        return; // a newer search is on its way
    const std::size_t count = answer.hits.size();
    m_hits->SetHits(m_texts, std::move(answer.hits));
    if (count == 0)
        m_status->setText("No match found.");
    else if (answer.capped)
        m_status->setText(QString("More than %L1 matches: the first %L1 are listed.").arg(count));
    else
        m_status->setText(count == 1 ? QString("1 match.") : QString("%L1 matches.").arg(count));
}

void SearchWindow::Activate(const QModelIndex& viewIndex)
{
    const QModelIndex index = m_proxy->mapToSource(viewIndex);
    if (!index.isValid())
        return;
    const SearchHit& hit = m_hits->hit(index.row());
    emit hitActivated(m_hits->document(index.row()), hit.position, hit.length);
}

} // namespace pellam
