#pragma once
// The open-incident sequence from the chosen event file on, as the main window
// and pellam-cli both run it: split the path, list the folder, load the system
// configuration and role labels and start the recording pass. The recording
// pass and FinishLoadUp then run on tick() until Finished().
#include "base/Message.h"
#include "base/Result.h"
#include "workspace/FolderListing.h"
#include "workspace/IncidentModel.h"
#include "workspace/RecordingList.h"
#include "workspace/RecordingProbe.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace pellam {

// The box shown for a chosen file whose name does not end in "evt".
Message LoadErrorMessage();
// The box for an open that failed on the way: "Error loading Event. " and the reason.
Message FileErrorMessage(const std::string& reason);
// The box for an evidence folder that is there but cannot be listed.
Message PathErrorMessage(const SystemError& error);

// An event file named on the command line, checked before it is opened as if
// chosen in the open dialog (which only hands over existing files): the full
// path, or the "File Error" box saying what was given and what is expected
// (a missing file, a folder, no regular file). A file whose name does not end
// in "evt" passes, so the open refuses it with the dialog's "Load Error".
Result<std::string, Message> CheckEventFileArgument(const std::string& given);

// An open that went through: whether the recording pass still has steps to run.
struct Opened {
    bool passRunning = false;
    // What the evidence folder holds that the recording list leaves out, for
    // the operator to read; nothing when the list shows the whole folder.
    std::optional<Message> notice;
};

// The notice for recordings beyond IncidentModel::kMaxRecordings, files named like
// recordings that the list does not take ("A.MP3"), links leading out of the
// folder, recording names that are no regular file and hidden files named like
// recordings (".a.mp3"): up to five names of each in the text, all of them in
// the detail.
std::optional<Message> LeftOutNotice(const FolderListing& listing);

class OpenIncident {
public:
    // Without a probe the answers are worked out on background threads.
    explicit OpenIncident(IncidentModel& model, std::unique_ptr<RecordingProbe> probe = nullptr);

    // Opens the incident of the chosen event file. A refused or failed open
    // gives the message box to show.
    Result<Opened, Message> Open(const std::string& eventFile);

    // One step of the recording pass; true while steps remain.
    bool tick() { return m_pass.tick(); }
    bool Finished() const { return m_pass.Finished(); }
    bool Running() const { return m_pass.Running(); }
    const RecordingPass& pass() const { return m_pass; }
    void SetClock(RecordingPass::Clock now) { m_pass.SetClock(std::move(now)); }

    // Waits up to `timeout` for the answer the pass is waiting for.
    void Wait(std::chrono::milliseconds timeout) { m_probe->Wait(timeout); }
    // Ticks to the end; between ticks waits for answers at the timer's pace
    // (20 ms) instead of sleeping, so polls are counted as a window counts them.
    void RunToEnd();

private:
    IncidentModel& m_model;
    std::unique_ptr<RecordingProbe> m_probe;
    RecordingPass m_pass;
};

} // namespace pellam
