#include "app/RecordingListController.h"

#include "attachments/RecordingDetails.h"
#include "attachments/ui/InfoS.h"
#include "audio/ui/LoadSequenceDriver.h"
#include "audio/ui/PlaybackPanel.h"
#include "base/PathText.h"
#include "base/Prompter.h"
#include "base/Twips.h"
#include "logs/NotationLink.h"
#include "workspace/ui/RecordingListView.h"
#include "workspace/ui/RecordingTableModel.h"
#include "workspace/ui/TextSortProxy.h"
#include "workspace/ui/modLVSort.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolButton>

namespace pellam {

RecordingListController::RecordingListController(const IncidentModel& model, LoadSequenceDriver& load,
    const WAVPlayer& player, PlaybackPanel& panel, Prompter& prompter, QWidget* area, QWidget* window)
    : QObject(window), m_model(model), m_load(load), m_player(player), m_panel(panel), m_prompter(prompter),
      m_window(window)
{
    // The recording rows (in recording-number order) seen through a sort
    // proxy: the list starts in listing order and sorts on a header click.
    m_rows = new RecordingTableModel(this);
    m_sorted = new TextSortProxy(this);
    m_sorted->setSourceModel(m_rows);
    m_view = new RecordingListView(area);
    m_view->setObjectName("LV1");
    m_view->setModel(m_sorted);
    m_view->SetEmptyHint(QString::fromUtf8(kOpenIncidentHint));
    m_view->header()->setSectionsClickable(true);
    m_view->header()->setStretchLastSection(false);
    for (int i = 0; i < RecordingTableModel::kColumns; ++i)
        m_view->setColumnWidth(i, TwipsToPixels(RecordingTableModel::ColumnWidthTwips(i)));
    connect(m_view->header(), &QHeaderView::sectionClicked, this, &RecordingListController::ColumnClick);
    connect(m_view, &QAbstractItemView::clicked, this, &RecordingListController::RowClick);
    m_view->viewport()->installEventFilter(this);
    m_view->installEventFilter(this); // Enter plays the current row
}

RecordingListController::~RecordingListController()
{
    // The list is half gone while its viewport dies.
    m_view->viewport()->removeEventFilter(this);
    m_view->removeEventFilter(this);
}

void RecordingListController::Sync()
{
    // A list sorted once keeps itself in that order as rows arrive.
    m_rows->Sync(m_model.ListRows);
}

std::optional<RecordingRef> RecordingListController::RecordingAt(const QModelIndex& index) const
{
    if (!index.isValid())
        return std::nullopt;
    const int number = index.data(RecordingTableModel::RecordingNumberRole).toInt();
    if (number < 1 || static_cast<std::size_t>(number) > m_model.MP3Paths.size())
        return std::nullopt;
    const std::string& path = m_model.MP3Paths[static_cast<std::size_t>(number) - 1];
    if (path.empty())
        return std::nullopt;
    return RecordingRef {static_cast<std::int16_t>(number), BaseName(path), path};
}

std::optional<RecordingRef> RecordingListController::SelectedRecording() const
{
    return RecordingAt(m_view->currentIndex());
}

void RecordingListController::MarkLoadedRow()
{
    // Only a recording of this incident's table is marked.
    const auto& loaded = m_load.sequence().LoadedRecording();
    const bool ours = loaded && loaded->number >= 1
        && static_cast<std::size_t>(loaded->number) <= m_model.MP3Paths.size()
        && m_model.MP3Paths[static_cast<std::size_t>(loaded->number) - 1] == loaded->path;
    m_rows->SetLoadedNumber(ours ? loaded->number : 0);
}

void RecordingListController::ColumnClick(int column)
{
    const auto sorted = SortListView(m_sorted, column + 1, 0, 0);
    if (!sorted)
        m_prompter.Show(sorted.error());
}

void RecordingListController::RowClick(const QModelIndex& index)
{
    const auto recording = RecordingAt(index);
    if (!recording)
        return;
    m_detailsFile = recording->fileName;
    KillInfo();
}

void RecordingListController::MouseUp(Qt::MouseButton button, QPoint releasePoint)
{
    const auto recording = SelectedRecording();
    if (!recording || recording->fileName.empty())
        return;
    if (button == Qt::RightButton) {
        m_detailsFile = recording->fileName; // the selected recording's file name, as bytes
        ShowDetails(releasePoint);
        return;
    }
    m_load.ListClick();
    MarkLoadedRow();
}

void RecordingListController::DoubleClick()
{
    m_load.ListDoubleClick();
    MarkLoadedRow();
}

void RecordingListController::ShowDetails(QPoint releasePoint)
{
    KillInfo();
    const auto recording = SelectedRecording();
    if (!recording)
        return;
    // The table holds an entry for every listed path, so the number reaches it.
    const RecordingDetails details = ReadRecordingDetails(
        m_tagReader, recording->path, m_model.MP3Table[static_cast<std::size_t>(recording->number) - 1].Sha256);
    auto* info = new InfoS(details, m_window);
    info->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    // Left edge at the window's outer left + x + 500 twips, top at its outer
    // top + y + 1000 twips, x and y being the release point on the list.
    const QPoint onList = m_view->viewport()->mapTo(m_view, releasePoint);
    const QRect outer = m_window->frameGeometry();
    info->move(TwipsToPixels(PixelsToTwips(outer.left() + onList.x()) + 500),
        TwipsToPixels(PixelsToTwips(outer.top() + onList.y()) + 1000));
    connect(info, &InfoS::grown, m_window, [this] { m_window->activateWindow(); });
    m_info.Replace(info);
}

void RecordingListController::KillInfo()
{
    m_info.Close();
}

void RecordingListController::PlayNotation(const QString& recording, int noteAudioStart)
{
    PlayAt(recording, noteAudioStart, LoadSequence::kNoteLeadIn);
}

void RecordingListController::PlayFrom(const QString& recording, int second)
{
    PlayAt(recording, second, 0);
}

void RecordingListController::PlayAt(const QString& recording, int second, int leadIn)
{
    const std::string name = recording.toStdString();
    LoadSequence& seq = m_load.sequence();
    seq.NoteAudioStart = second;
    seq.NoteLeadIn = leadIn;
    if (!seq.LoadedMP3.empty() && name == seq.LoadedMP3) {
        seq.StartAtNoteOffset();
        return;
    }
    // The row that shows the recording is selected and the recording decoded.
    const std::int16_t number = ListedRecordingNumber(m_model.ListRows, name);
    const QModelIndex index = m_sorted->mapFromSource(m_rows->index(number - 1, 0));
    const auto ref = RecordingAt(index);
    if (number == 0 || !ref)
        return;
    m_view->setCurrentIndex(index);
    seq.ListDoubleClick(ref);
    MarkLoadedRow();
}

bool RecordingListController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        // Enter decodes and plays the current row as a double click does;
        // the arrows only move (the list handles them).
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            DoubleClick();
            return true;
        }
    }
    if (watched == m_view->viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            KillInfo();
            break;
        case QEvent::MouseButtonRelease: {
            auto* me = static_cast<QMouseEvent*>(event);
            // Let the list select the row under the pointer first.
            const QModelIndex under = m_view->indexAt(me->position().toPoint());
            if (under.isValid() && me->button() == Qt::RightButton)
                m_view->setCurrentIndex(under);
            const Qt::MouseButton button = me->button();
            const QPoint point = me->position().toPoint();
            QMetaObject::invokeMethod(
                this, [this, button, point] { MouseUp(button, point); }, Qt::QueuedConnection);
            break;
        }
        case QEvent::MouseButtonDblClick:
            QMetaObject::invokeMethod(
                this, [this] { DoubleClick(); }, Qt::QueuedConnection);
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace pellam
