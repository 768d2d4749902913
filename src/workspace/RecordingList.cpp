#include "workspace/RecordingList.h"

#include "media/Mp3Duration.h"
#include "workspace/FileFacts.h"

#include <sys/stat.h>

namespace pellam {

bool IsRecording(const std::string& name)
{
    return name.ends_with("mp3");
}

std::optional<std::int64_t> DurationSeconds(std::string_view text)
{
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || colon < 2 || text.size() != colon + 3)
        return std::nullopt;
    std::int64_t minutes = 0;
    for (char c : text.substr(0, colon)) {
        if (c < '0' || c > '9' || minutes > INT32_MAX / 60)
            return std::nullopt;
        minutes = minutes * 10 + (c - '0');
    }
    const char tens = text[colon + 1], ones = text[colon + 2];
    if (tens < '0' || tens > '5' || ones < '0' || ones > '9')
        return std::nullopt;
    return minutes * 60 + (tens - '0') * 10 + (ones - '0');
}

bool FileExists(const std::string& path)
{
    struct stat st { };
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

namespace {

// The records file: the first "*.rmq" of the listing, in any letter case.
void ApplyRecordsFile(IncidentModel& m)
{
    const auto records = m.listing.WithExtension("rmq");
    m.RecordsFound = !records.empty();
    if (m.RecordsFound)
        m.RecordsPath = m.paths.Evidence.Join(records.front());
}

} // namespace

void Dir1_Change(IncidentModel& model, FolderListing listing)
{
    model.ListRows.clear();
    model.listing = std::move(listing);
    model.FolderListed = true;
    ApplyRecordsFile(model);
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
    IncidentModel& s = m_model;
    m_names.clear();
    for (const auto& name : s.listing.names())
        if (IsRecording(name) && m_names.size() < IncidentModel::kMaxRecordings)
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
        m_progressMax = static_cast<int>(m_names.size());
        m_progressValue = 0;
        m_poller.Reset();
        m_current = 0;
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
        } else if (m_file >= m_model.listing.size()) {
            EndFinishLoadUp();
        }
        if (m_now() >= end)
            break;
    }
    return Running();
}

bool RecordingPass::TickDuration()
{
    IncidentModel& s = m_model;
    m_progressValue = static_cast<int>(m_current) + 1;
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
    m_progressValue = 0;
    BeginFinishLoadUp();
    return true;
}

void RecordingPass::BeginFinishLoadUp()
{
    IncidentModel& s = m_model;
    ApplyRecordsFile(s);
    if (!s.listing.empty())
        m_progressMax = static_cast<int>(s.listing.size()) + 2;
    s.MP3Count = 0;
    s.ListRows.clear();
    m_file = 0;
    m_row = 0;
    m_stage = Stage::Rows;
}

bool RecordingPass::TickRow()
{
    IncidentModel& s = m_model;
    const auto& names = s.listing.names();
    while (m_file < names.size()) {
        m_progressValue = static_cast<int>(m_file) + 1;
        const std::string& name = names[m_file];
        if (!IsRecording(name) || m_row >= m_names.size()) {
            ++m_file;
            continue;
        }
        const auto sums = m_probe.Checksums(m_row);
        if (!sums)
            return false; // this row again next tick
        const std::size_t n = m_row++;
        ++m_file;
        s.MP3Paths[n] = s.paths.Evidence.Join(name);
        s.MP3Count = static_cast<std::int16_t>(n + 1);
        Mp3Record& rec = s.MP3Table[n];
        rec.Size = GetFileSize(s.MP3Paths[n], s.Formats);
        rec.Created = GetFileDate(s.MP3Paths[n], s.Formats);
        rec.CRC = sums->crc;
        rec.Sha256 = sums->sha256;
        s.ListRows.push_back(
            Mp3Record {rec.CRC, name, m_durations[n].text, rec.Created, rec.Size, m_durations[n].note, rec.Sha256});
        return true;
    }
    return true;
}

void RecordingPass::EndFinishLoadUp()
{
    IncidentModel& s = m_model;
    m_progressValue = 0;
    const FolderPath& folder = s.paths.Evidence;

    const std::string eventFile = FindEventFile(s.listing, folder);
    auto incident = ReadEventFile(eventFile);
    s.IncidentFound = !eventFile.empty() && incident;
    if (s.IncidentFound) {
        s.incident = std::move(incident).value();
        s.CaseNumber = s.incident.CaseNumber;
    }

    NegotiateLogPaths(s.listing, s.CaseNumber, s.paths);
    s.attachFolder = LoadIncidentAttachments(s.incident.AttachPath, folder, s.attachments);
    s.HasVistrel = FileExists(folder.Join("Vistrel/Vistrel.exe")) || FileExists(folder.Join("Vistrel/Vistrel"));
    s.HasIntelUpload = FileExists(folder.Join("IntelUpload/" + s.CaseNumber + "_InUpLog.rtf"));
    m_stage = Stage::Finished;
}

} // namespace pellam
