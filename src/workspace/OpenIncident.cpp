#include "workspace/OpenIncident.h"

#include "base/AsciiCase.h"
#include "base/PathText.h"
#include "base/SystemError.h"
#include "workspace/SysConfig.h"

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <sys/stat.h>

namespace pellam {

Message LoadErrorMessage()
{
    return Message {"Load Error",
        std::string("Error Loading Event!      ") + kLineBreak
            + "The Pellam Program was unable to negotiate the file paths for this event.",
        MessageIcon::Critical};
}

Message FileErrorMessage(const std::string& reason)
{
    return Message {"File Error", std::string("Error loading Event. ") + kLineBreak + reason, MessageIcon::Critical};
}

Message PathErrorMessage(const SystemError& error)
{
    std::string text = "Internal Directory Alteration Error!      ";
    if (error.number > 0)
        text += std::string(kLineBreak) + "ERROR #" + std::to_string(error.number) + " - " + error.text;
    return Message {"Path Error", text, MessageIcon::Critical};
}

Result<std::string, Message> CheckEventFileArgument(const std::string& given)
{
    const std::string quoted = "\"" + given + "\"";
    struct stat st { };
    if (given.empty() || ::stat(given.c_str(), &st) != 0) {
        const SystemError err = given.empty() ? SystemError(ENOENT) : SystemError::Last();
        if (err.Missing())
            return fail(FileErrorMessage("The event file " + quoted + " does not exist."));
        return fail(FileErrorMessage("The event file " + quoted + " cannot be reached: " + err.text + "."));
    }
    if (S_ISDIR(st.st_mode))
        return fail(FileErrorMessage(
            quoted + " is a folder. Name the incident's event file (*.evt), which lies in its evidence folder."));
    if (!S_ISREG(st.st_mode))
        return fail(FileErrorMessage(quoted + " is not an event file. Name the incident's event file (*.evt)."));
    // A file of another name goes on to the open, which refuses it as it
    // refuses the same choice in the dialog.
    return MakeAbsolute(given);
}

OpenIncident::OpenIncident(IncidentModel& model, std::unique_ptr<RecordingProbe> probe)
    : m_model(model), m_probe(probe ? std::move(probe) : std::make_unique<ThreadedProbe>()), m_pass(model, *m_probe)
{ }

namespace {

// Up to five names, then how many more.
std::string NameSome(const std::vector<std::string>& names)
{
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < 5; ++i)
        text += (i ? ", " : "") + names[i];
    if (names.size() > 5)
        text += " and " + std::to_string(names.size() - 5) + " more";
    return text + ".";
}

// A name a user would take for a recording that the list does not take:
// ".mp3" in another letter case, or followed by blanks or dots (which Windows
// drops from a name).
bool LooksLikeRecording(const std::string& name)
{
    if (IsRecording(name))
        return false;
    std::string trimmed = name;
    while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '.'))
        trimmed.pop_back();
    return AsciiLower(trimmed).ends_with(".mp3");
}

} // namespace

std::optional<Message> LeftOutNotice(const FolderListing& listing)
{
    // The text names up to five of each kind; the detail names them all, one
    // a line, so nothing left out goes untold however many there are.
    std::string text;
    std::string detail;
    const auto tell = [&](const std::string& what, const std::vector<std::string>& names) {
        if (names.empty())
            return;
        text += kLineBreak + what + ": " + NameSome(names);
        detail += (detail.empty() ? "" : "\n\n") + what + ":";
        for (const auto& name : names)
            detail += "\n" + name;
    };
    const auto those = [](const std::vector<std::string>& names, bool (*keep)(const std::string&)) {
        std::vector<std::string> kept;
        std::copy_if(names.begin(), names.end(), std::back_inserter(kept), keep);
        return kept;
    };
    const std::vector<std::string> recordings = those(listing.names(), IsRecording);
    if (recordings.size() > IncidentModel::kMaxRecordings) {
        const std::string what = "Only the first " + std::to_string(IncidentModel::kMaxRecordings) + " of "
            + std::to_string(recordings.size()) + " recordings are listed; not listed";
        tell(what, std::vector<std::string>(recordings.begin() + IncidentModel::kMaxRecordings, recordings.end()));
    }
    tell("Files named like recordings, not listed (only names ending in \"mp3\" in lower case are)",
        those(listing.names(), LooksLikeRecording));
    tell("Links leading out of the folder, not listed", listing.outside());
    tell("Recordings that are no regular file (a folder, pipe, device or broken link), not listed",
        those(listing.irregular(), IsRecording));
    tell("Hidden files named like recordings (names beginning with \".\"), not listed",
        those(listing.hidden(), [](const std::string& name) { return IsRecording(name) || LooksLikeRecording(name); }));
    if (text.empty())
        return std::nullopt;
    return Message {"Evidence Folder", "Some files of the evidence folder are not in the recording list." + text,
        MessageIcon::Exclamation, detail};
}

Result<Opened, Message> OpenIncident::Open(const std::string& eventFile)
{
    IncidentModel& s = m_model;
    s.newLoad.EventFile = eventFile;
    if (!SplitEventPath(s.newLoad, s.paths))
        return fail(LoadErrorMessage());

    // A folder that went away since it was chosen fails the open itself; one
    // that is there but cannot be read fails the folder change.
    auto listing = FolderListing::Read(s.paths.Evidence);
    if (!listing) {
        const SystemError& e = listing.error();
        if (e.Missing())
            return fail(FileErrorMessage("ERROR #" + std::to_string(e.number) + " - " + e.text));
        return fail(PathErrorMessage(e));
    }
    std::optional<Message> notice = LeftOutNotice(listing.value());
    Dir1_Change(s, std::move(listing).value());
    if (auto config = LoadSysConfig(s.paths.Evidence, s.roles); !config)
        return fail(config.error());
    SetRoleNames(s.paths.Evidence, s.roles);
    m_pass.GetAllDurations();
    return Opened {!m_pass.Finished(), std::move(notice)};
}

void OpenIncident::RunToEnd()
{
    while (tick())
        Wait(std::chrono::milliseconds(20));
}

} // namespace pellam
