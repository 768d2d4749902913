#pragma once
// The recording list of the main window: its rows (the model's, seen through
// a sort proxy), header clicks, row clicks and keys handed to the load
// sequence, the details window of a right-clicked recording, and the row of
// the recording that is loaded. Rows carry their recording number; the path
// of a recording is always the model's MP3Paths entry, never a column's text.
#include "app/WindowSlot.h"
#include "attachments/ui/InfoS.h"
#include "audio/RecordingRef.h"
#include "media/cMP3ID3v2.h"
#include "workspace/IncidentModel.h"

#include <QObject>
#include <QPoint>

#include <optional>
#include <string>

class QModelIndex;
class QWidget;

namespace pellam {

class LoadSequenceDriver;
class PlaybackPanel;
class Prompter;
class RecordingListView;
class RecordingTableModel;
class TextSortProxy;
class WAVPlayer;

// What the empty recording list says while no incident is open.
inline constexpr const char* kOpenIncidentHint = "Open an incident: Menu \u2192 Open Incident (Ctrl+O)";

class RecordingListController final : public QObject {
    Q_OBJECT
public:
    // The list is made in `area`; the details window opens beside `window`.
    RecordingListController(const IncidentModel& model, LoadSequenceDriver& load, const WAVPlayer& player,
        PlaybackPanel& panel, Prompter& prompter, QWidget* area, QWidget* window);
    ~RecordingListController() override;

    RecordingListView* view() const { return m_view; }
    // Takes the model's rows: only rows and cells that changed reach the view.
    void Sync();

    void ColumnClick(int column); // 0-based
    void RowClick(const QModelIndex& index);
    void MouseUp(Qt::MouseButton button, QPoint releasePoint);
    void DoubleClick();
    // Space over the list or the panel: Pause while playing, else Play.
    // A notation's recording played from an offset: at once when it is the
    // loaded one, else its row is selected and it is decoded first.
    void PlayNotation(const QString& recording, int noteAudioStart);
    // A recording played from a moment picked on the timeline, without the
    // lead-in a notation gets; otherwise as PlayNotation.
    void PlayFrom(const QString& recording, int second);

    // The recording-details window for the selected row, at a point of the list.
    void ShowDetails(QPoint releasePoint);
    void KillInfo();
    InfoS* details() const { return m_info.get(); }
    // The file name of the row last clicked.
    const std::string& DetailsFile() const { return m_detailsFile; }

    std::optional<RecordingRef> SelectedRecording() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::optional<RecordingRef> RecordingAt(const QModelIndex& index) const;
    void PlayAt(const QString& recording, int second, int leadIn);
    // Marks the row of the recording the load sequence has loaded.
    void MarkLoadedRow();

    const IncidentModel& m_model;
    LoadSequenceDriver& m_load;
    const WAVPlayer& m_player;
    PlaybackPanel& m_panel;
    Prompter& m_prompter;
    QWidget* m_window;
    RecordingListView* m_view;
    RecordingTableModel* m_rows;
    TextSortProxy* m_sorted;
    cMP3ID3v2 m_tagReader; // the program's one tag reader
    WindowSlot<InfoS> m_info;
    std::string m_detailsFile;
};

} // namespace pellam
