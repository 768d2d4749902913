#include "workbench/ui/TimelineWindow.h"

#include "base/Prompter.h"
#include "richtext/RichDocument.h"

#include <QHBoxLayout>
#include <QImageWriter>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace pellam {
namespace {

// The print picture's width in pixels: a page's width at the screen's resolution.
constexpr int kPrintWidth = 680;
// The scroll bar's steps per second, at most: fine enough for the deepest zoom.
constexpr double kScrollSteps = 10;
QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

TimelineWindow::TimelineWindow(TimelineWindowInput input, Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Window), m_input(std::move(input)), m_prompter(prompter)
{
    setObjectName("TimelineWindow");
    setWindowTitle(QString("Timeline - Incident %1").arg(FromUtf8(m_input.caseNumber)));
    setAttribute(Qt::WA_DeleteOnClose);
    m_view = new TimelineView(m_input.formats, this);
    m_scroll = new QScrollBar(Qt::Horizontal, this);
    m_scroll->setObjectName("TimelineScroll");
    m_waiting = new QLabel("Reading the incident's documents\u2026", this);
    m_fit = new QPushButton("Fit", this);
    m_fit->setObjectName("Fit");
    m_print = new QPushButton("Print\u2026", this);
    m_print->setObjectName("Print");
    m_export = new QPushButton("Export PNG\u2026", this);
    m_export->setObjectName("ExportPng");

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_fit);
    buttons->addWidget(m_print);
    buttons->addWidget(m_export);
    buttons->addStretch();
    buttons->addWidget(m_waiting);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_scroll);

    connect(m_fit, &QPushButton::clicked, this, &TimelineWindow::Fit);
    connect(m_print, &QPushButton::clicked, this, [this] { Print(); });
    connect(m_export, &QPushButton::clicked, this, &TimelineWindow::ExportPng);
    connect(m_view, &TimelineView::scaleChanged, this, &TimelineWindow::SyncScrollBar);
    connect(m_scroll, &QScrollBar::valueChanged, this, [this](int value) {
        const TimelineScale& s = m_view->scale();
        const double steps = std::min(kScrollSteps, 1e9 / (s.SpanEnd() - s.SpanStart()));
        m_view->scale().ShowFrom(s.SpanStart() + value / steps);
        m_view->update();
    });
    connect(m_view, &TimelineView::hit, this, [this](TimelineHit found, double time) {
        const TimelineEvent& e = m_input.timeline->events[found.event];
        if (IsNotation(e))
            return emit notationActivated(FromUtf8(e.recording), *e.offset);
        if (e.lane == TimelineLane::Recording && e.time) {
            const auto second = static_cast<int>(std::floor(std::max(0.0, time - static_cast<double>(*e.time))));
            return emit recordingActivated(
                FromUtf8(e.recording), e.duration ? std::min(second, std::max(0, *e.duration - 1)) : 0);
        }
        if (e.position)
            emit entryActivated(FromUtf8(e.source), *e.position);
    });
    resize(1000, 420);
    SetTimeline(m_input.timeline);
}

TimelineWindow::~TimelineWindow() = default;

TimelineScale& TimelineWindow::scale()
{
    return m_view->scale();
}

void TimelineWindow::SetTimeline(std::shared_ptr<const Timeline> timeline)
{
    m_input.timeline = std::move(timeline);
    const bool undated = m_input.timeline && !m_input.timeline->Span();
    m_waiting->setText(
        undated ? "Nothing in the incident's documents carries a date." : "Reading the incident's documents\u2026");
    m_waiting->setVisible(!m_input.timeline || undated);
    for (QWidget* w : {static_cast<QWidget*>(m_fit), static_cast<QWidget*>(m_print), static_cast<QWidget*>(m_export)})
        w->setEnabled(m_input.timeline != nullptr);
    m_view->SetTimeline(m_input.timeline.get());
}

void TimelineWindow::SetPlayhead(const QString& recording, std::optional<double> positionMs)
{
    m_view->SetPlayhead(recording.toStdString(), positionMs);
}

void TimelineWindow::SyncScrollBar()
{
    const TimelineScale& s = m_view->scale();
    const double steps = std::min(kScrollSteps, 1e9 / (s.SpanEnd() - s.SpanStart()));
    const QSignalBlocker quiet(m_scroll);
    m_scroll->setRange(0, static_cast<int>(std::lround((s.SpanEnd() - s.SpanStart() - s.Seconds()) * steps)));
    m_scroll->setPageStep(std::max(1, static_cast<int>(std::lround(s.Seconds() * steps))));
    m_scroll->setSingleStep(std::max(1, m_scroll->pageStep() / 10));
    m_scroll->setValue(static_cast<int>(std::lround((s.First() - s.SpanStart()) * steps)));
}

void TimelineWindow::Fit()
{
    m_view->scale().Fit();
    m_view->update();
    SyncScrollBar();
}

QImage TimelineWindow::Picture() const
{
    QImage image(m_view->size(), QImage::Format_RGB32);
    QPainter p(&image);
    m_view->Render(p, image.size());
    return image;
}

PrintOutcome TimelineWindow::Print()
{
    const TimelineScale& s = m_view->scale();
    const std::string pattern = m_input.formats.ShortDate + " " + m_input.formats.LongTime;
    const auto at
        = [&](double t) { return LocalMomentText(static_cast<LocalSeconds>(std::floor(t)), pattern, m_input.formats); };
    RichDocument doc;
    CharFormat title;
    title.bold = true;
    const std::string line
        = "Timeline of Incident " + m_input.caseNumber + ": " + at(s.First()) + " to " + at(s.Last());
    doc.Append(QString::fromStdString(line).toStdU16String(), title);
    doc.NewParagraph(Alignment::Left);
    doc.Append(u"timeline", CharFormat {}, "timeline.png");
    const QImage shown = Picture();
    const QImage picture
        = shown.width() > kPrintWidth ? shown.scaledToWidth(kPrintWidth, Qt::SmoothTransformation) : shown;
    return PrintDocument(doc, "Timeline", kLogMargins, m_input.choosePrinter, this, {{"timeline.png", picture}});
}

void TimelineWindow::ExportPng()
{
    if (!m_input.chooseImageFile)
        return;
    const QString file = m_input.chooseImageFile(QString("Timeline-%1.png").arg(FromUtf8(m_input.caseNumber)));
    if (file.isEmpty())
        return;
    QImageWriter writer(file, "png");
    if (!writer.write(Picture()))
        m_prompter.Show({"Export PNG", "The timeline could not be saved as a picture.", MessageIcon::Exclamation,
            "File: " + file.toStdString() + "\n" + writer.errorString().toStdString()});
}

} // namespace pellam
