#include "workspace/RecordingList.h"

#include "media/Mp3Duration.h"
#include "workspace/FileFacts.h"

#include <sys/stat.h>

namespace pellam {

bool IsRecording(const std::string& name)
{
    return name.ends_with("mp3");
}

bool FileExists(const std::string& path)
{
    struct stat st { };
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void EnableLOGS(MenuState& menus)
{
    menus.SetEnabled(MenuEntry::LogFileViewer, true);
    menus.SetEnabled(MenuEntry::Statistics, true);
}

void DisableLOGS(MenuState& menus)
{
    menus.SetEnabled(MenuEntry::LogFileViewer, false);
    menus.SetEnabled(MenuEntry::Statistics, false);
}

namespace {

// The records file: the first "*.rmq" of the listing, in any letter case.
void ApplyRecordsFile(Session& s)
{
    const auto records = s.listing.WithExtension("rmq");
    s.RecordsFound = !records.empty();
    s.menus.SetEnabled(MenuEntry::RecordViewer, s.RecordsFound);
    if (s.RecordsFound) {
        s.RecHandler.SetRecordPath(s.paths.Evidence.Join(records.front()));
        s.PathLabel = s.RecHandler.RecordPath();
    } else {
        s.PathLabel.clear();
    }
}

} // namespace

void Dir1_Change(Session& session, FolderListing listing)
{
    session.ListRows.clear();
    session.title = BaseTitle();
    session.listing = std::move(listing);
    session.PhotoLabel = "PicPath = " + PicPath(session.paths).WithSeparator();
    ApplyRecordsFile(session);
    if (!session.listing.empty())
        session.Progress.Max = static_cast<int>(session.listing.size()) + 2;
    session.menus.SetEnabled(MenuEntry::TextConversations, true);
}

std::optional<DurationAnswer> DurationPoller::Poll(RecordingProbe& probe, std::size_t i)
{
    const auto d = probe.Duration(i);
    if (d && d->text != kNoDuration) {
        m_retry = 0;
        return d;
    }
    if (++m_retry < kMaxPolls)
        return std::nullopt;
    m_retry = 0;
    return DurationAnswer {kUnknownDuration, {}};
}

void RecordingPass::GetAllDurations()
{
    Session& s = m_session;
    m_names.clear();
    for (const auto& name : s.listing.names())
        if (IsRecording(name) && m_names.size() < Session::kMaxRecordings)
            m_names.push_back(name);
    m_durations.assign(m_names.size(), DurationAnswer {});
    s.MP3Table.assign(m_names.size(), Mp3Record {});
    s.MP3Paths.assign(m_names.size(), std::string());

    std::vector<std::string> paths;
    paths.reserve(m_names.size());
    for (const auto& name : m_names)
        paths.push_back(s.paths.Evidence.Join(name));
    m_probe.Start(paths);

    if (!m_names.empty()) {
        s.Progress.Max = static_cast<int>(m_names.size());
        s.Progress.Value = 0;
        m_poller.Reset();
        m_current = 0;
        s.Hourglass = true;
        m_stage = Stage::Durations;
        return;
    }
    // No recording: FinishLoadUp at once (it has no row to wait for).
    BeginFinishLoadUp();
    while (m_stage == Stage::Rows)
        tick();
}

bool RecordingPass::tick()
{
    const auto end = m_now() + kTickBudget;
    while (Running()) {
        if (m_stage == Stage::Durations) {
            if (!TickDuration())
                break; // asked again next tick
        } else if (!TickRow()) {
            break; // this row again next tick
        } else if (m_file >= m_session.listing.size()) {
            EndFinishLoadUp();
        }
        if (m_now() >= end)
            break;
    }
    return Running();
}

bool RecordingPass::TickDuration()
{
    Session& s = m_session;
    s.Hourglass = true;
    s.Progress.Value = static_cast<int>(m_current) + 1;
    const auto d = m_poller.Poll(m_probe, m_current);
    if (!d)
        return false;
    m_durations[m_current] = *d;
    if (d->text != kUnknownDuration) { // a duration that never arrived leaves the table's texts empty
        s.MP3Table[m_current].Duration = d->text;
        s.MP3Table[m_current].FileName = m_names[m_current];
        s.MP3Table[m_current].DurationNote = d->note;
    }
    if (++m_current < m_names.size())
        return true;
    s.Progress.Value = 0;
    BeginFinishLoadUp();
    return true;
}

void RecordingPass::BeginFinishLoadUp()
{
    Session& s = m_session;
    ApplyRecordsFile(s);
    s.Hourglass = true;
    if (!s.listing.empty())
        s.Progress.Max = static_cast<int>(s.listing.size()) + 2;
    s.MP3Count = 0;
    s.ListRows.clear();
    m_file = 0;
    m_row = 0;
    m_stage = Stage::Rows;
}

bool RecordingPass::TickRow()
{
    Session& s = m_session;
    const auto& names = s.listing.names();
    while (m_file < names.size()) {
        s.Progress.Value = static_cast<int>(m_file) + 1;
        const std::string& name = names[m_file];
        if (!IsRecording(name) || m_row >= m_names.size()) {
            ++m_file;
            continue;
        }
        const auto crc = m_probe.Crc(m_row);
        if (!crc)
            return false; // this row again next tick
        const std::size_t n = m_row++;
        ++m_file;
        s.MP3Paths[n] = s.paths.Evidence.Join(name);
        s.MP3Count = static_cast<std::int16_t>(n + 1);
        Mp3Record& rec = s.MP3Table[n];
        rec.Size = GetFileSize(s.MP3Paths[n], s.Formats);
        rec.Created = GetFileDate(s.MP3Paths[n], s.Formats);
        rec.CRC = *crc;
        s.ListRows.push_back(
            Mp3Record {rec.CRC, name, m_durations[n].text, rec.Created, rec.Size, m_durations[n].note});
        return true;
    }
    return true;
}

void RecordingPass::EndFinishLoadUp()
{
    Session& s = m_session;
    s.Progress.Value = 0;
    const FolderPath& folder = s.paths.Evidence;

    const std::string eventFile = FindEventFile(s.listing, folder);
    if (auto incident = ReadEventFile(eventFile); !eventFile.empty() && incident) {
        s.incident = std::move(incident).value();
        s.CaseNumber = s.incident.CaseNumber;
        EnableLOGS(s.menus);
        s.title = BaseTitle() + " - Reviewing Case Number " + s.CaseNumber;
    } else {
        DisableLOGS(s.menus);
        s.title = s.MP3Count == 0
            ? BaseTitle()
            : BaseTitle() + " - Viewing " + std::to_string(s.MP3Count) + " MP3 Files (no incident found)";
    }

    NegotiateLogPaths(s.listing, s.CaseNumber, s.paths, s.menus);
    s.attachFolder = LoadIncidentAttachments(s.incident.AttachPath, folder, s.attachments);

    s.menus.SetEnabled(MenuEntry::Attachments, true);
    s.menus.SetEnabled(MenuEntry::Print, true);
    s.menus.SetEnabled(MenuEntry::RecordViewer, true);
    s.menus.Set(MenuEntry::Vistrel,
        FileExists(folder.Join("Vistrel/Vistrel.exe")) || FileExists(folder.Join("Vistrel/Vistrel")));
    s.menus.Set(MenuEntry::IntelUploadFiles, FileExists(folder.Join("IntelUpload/" + s.CaseNumber + "_InUpLog.rtf")));
    s.Hourglass = false;
    m_stage = Stage::Finished;
}

} // namespace pellam
