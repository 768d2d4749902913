#pragma once
// What the main window shows besides its list: the menu entries' states, the
// title, the two corner labels, the progress bar and the pointer. All of it
// follows from the incident model and how far its open has come, so the
// window and pellam-cli derive the same menus and title from the same facts.
// Plain C++: the command line uses it too.
#include "app/MenuState.h"
#include "workspace/IncidentModel.h"

#include <string>

namespace pellam {

class OpenIncident;

// A leading blank and three blanks between the two parts.
std::string BaseTitle();

// How far the open of an incident has come.
enum class OpenStage {
    Closed, // no open went through: none was tried, or each was refused
    Running, // the recording pass has steps left
    Finished,
};

// The main window's progress bar as data.
struct ProgressBar {
    int Max = 100;
    int Value = 0;
};

struct ViewState {
    MenuState menus;
    std::string title = BaseTitle();
    std::string PathLabel; // the path label: the records file's path, or ""
    std::string PhotoLabel; // the diagnostic label: "PicPath = " and PicPath(paths)
    ProgressBar Progress;
    bool Hourglass = false; // the mouse pointer shows the hourglass
};

// The menu entries for the model at `stage`. Once the folder is listed, Text
// Conversations opens, and Record Viewer when there is a records file; an
// open that goes through locks Open Incident; its end enables what the folder
// and the event file hold, and the hash manifest of the folder.
MenuState MenusFor(const IncidentModel& model, OpenStage stage);

// The title: the case under review, or how many recordings are viewed
// without an incident, once the open finished; the base title before.
std::string TitleFor(const IncidentModel& model, OpenStage stage);

// The stage of an open (none when it was refused or never made).
OpenStage StageOf(const OpenIncident* open);

// Everything above for the model and the open that fills it.
ViewState ViewOf(const IncidentModel& model, const OpenIncident* open);

} // namespace pellam
