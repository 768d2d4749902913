#pragma once
// Filling the recording list when an incident is opened, without the window:
// the folder change, the duration pass and FinishLoadUp write the incident
// model, and the main window shows what they wrote. The pass and FinishLoadUp advance in
// ticks: the window ticks them from a 20 ms timer and repaints in between; the
// command line ticks them in a loop. A tick takes the answers that are there,
// up to kTickBudget of work, and ends at the first one that is not.
#include "workspace/IncidentModel.h"
#include "workspace/RecordingProbe.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pellam {

// A listed name ending in exactly "mp3" (lower case) is a recording.
bool IsRecording(const std::string& name);

// The whole seconds a duration text of the list stands for ("75:03" is
// 4503); nothing for "??:??", "" or any text DurationText does not write.
std::optional<std::int64_t> DurationSeconds(std::string_view text);

// Whether a regular file exists at the path.
bool FileExists(const std::string& path);

// The folder-change handling for paths.Evidence: takes the folder's listing
// into the model (clearing the list) and finds the records file. The caller
// lists the folder and reports a folder that cannot be listed.
void Dir1_Change(IncidentModel& model, FolderListing listing);

// The retry rule of the duration pass for one recording: an answer of
// nothing or "00:00" is asked again; after 541 such answers the duration is
// "??:??".
class DurationPoller {
public:
    static constexpr int kMaxPolls = 541;
    // One poll; the final duration once it is settled.
    std::optional<DurationAnswer> Poll(RecordingProbe& probe, std::size_t i);
    void Reset() { m_retry = 0; }

private:
    int m_retry = 0;
};

class RecordingPass {
public:
    enum class Stage { Idle, Durations, Rows, Finished };
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    // How long one tick may work before it hands the thread back, so the
    // window keeps answering while a thousand rows go in.
    static constexpr std::chrono::milliseconds kTickBudget {10};

    RecordingPass(IncidentModel& model, RecordingProbe& probe) : m_model(model), m_probe(probe) { }

    // GetAllDurations: collects the recordings and starts the pass, or runs
    // FinishLoadUp to its end at once when there is none.
    void GetAllDurations();

    // Settles durations, then adds FinishLoadUp's rows, as long as their
    // answers are there and the tick's budget lasts. A duration not known yet
    // ends the tick as one poll of it, so polls are counted per tick. Returns
    // true while steps remain.
    bool tick();

    // The clock the budget is measured on (tests advance their own).
    void SetClock(Clock now) { m_now = std::move(now); }

    Stage stage() const { return m_stage; }
    bool Finished() const { return m_stage == Stage::Finished; }
    // Whether steps remain (the pointer shows the hourglass meanwhile).
    bool Running() const { return m_stage == Stage::Durations || m_stage == Stage::Rows; }
    // How far the pass is, as the progress bar shows it: recordings while
    // durations are settled, then listing entries while rows are added.
    int ProgressMax() const { return m_progressMax; }
    int ProgressValue() const { return m_progressValue; }
    // The durations the pass settled, entry n - 1 for recording n.
    const std::vector<DurationAnswer>& Durations() const { return m_durations; }

private:
    bool TickDuration(); // false when the duration is not settled yet
    void BeginFinishLoadUp();
    bool TickRow(); // false when the CRC is not there yet
    void EndFinishLoadUp();

    IncidentModel& m_model;
    RecordingProbe& m_probe;
    int m_progressMax = 100;
    int m_progressValue = 0;
    Stage m_stage = Stage::Idle;
    Clock m_now = [] { return std::chrono::steady_clock::now(); };
    std::vector<std::string> m_names; // the recordings of the pass, in listing order
    std::vector<DurationAnswer> m_durations;
    std::size_t m_current = 0; // the recording being asked about (0-based)
    DurationPoller m_poller;
    std::size_t m_file = 0; // FinishLoadUp: next listing entry
    std::size_t m_row = 0; // FinishLoadUp: rows added so far
};

} // namespace pellam
