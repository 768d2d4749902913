#include "casereport/CaseReport.h"


#include "analysis/CRCTest.h"
#include "analysis/ReportWriter.h"
#include "analysis/Statistics.h"
#include "base/Cp1252.h"
#include "base/Version.h"
#include "checksums/CrcText.h"
#include "conversations/Conversations.h"
#include "notes/NotesReport.h"
#include "records/RecordFields.h"
#include "records/RecordSheet.h"
#include "records/clsRecord.h"
#include "richtext/PrintFooter.h"
#include "richtext/RtfReader.h"
#include "workbench/IncidentTexts.h"
#include "workbench/LocalTime.h"
#include "workspace/WorkFolder.h"

#include <cstdio>
#include <ctime>
#include <map>

namespace pellam {
namespace {

constexpr const char* kFont = "DejaVu Sans";
constexpr const char* kFixedFont = "DejaVu Sans Mono";
constexpr int kHeadingSize = 16;
constexpr int kTextSize = 10;
constexpr int kSmallSize = 8;

// A section whose first part holds its heading, from a new page.
ReportSection Section(const std::string& heading)
{
    ReportSection section {heading, {}};
    ReportPart& first = section.parts.emplace_back();
    first.newPage = true;
    ReportWriter w(first.doc);
    w.SetFont(kFont);
    w.Append(heading, true, false, true, kHeadingSize);
    w.Append("", false, false, true, kTextSize);
    return section;
}

// Lines of text in the section's first part.
ReportWriter Writer(ReportSection& section)
{
    ReportWriter w(section.parts.front().doc);
    w.SetFont(kFont);
    return w;
}

void Line(ReportWriter& w, const std::string& text, bool bold = false, int size = kTextSize)
{
    w.Append(text, bold, false, true, size);
}

std::string TimeText(LocalSeconds t)
{
    std::string text = IsoText(t);
    if (const auto at = text.find('T'); at != std::string::npos)
        text[at] = ' ';
    return text;
}

std::string MinutesAndSeconds(std::int32_t seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d", seconds / 60, seconds % 60);
    return text;
}

std::string RelativeTo(const FolderPath& folder, const std::string& path)
{
    const std::string prefix = folder.WithSeparator();
    return path.starts_with(prefix) ? path.substr(prefix.size()) : path;
}

// The CRC test as the statistics window runs it, but naming a Main Log inside
// the evidence folder from the folder's own name, so the report reads the same
// wherever the folder was copied to.
CrcTestInput CrcTestInputForReport(const IncidentModel& model)
{
    CrcTestInput input = CrcTestInputOf(model);
    const std::string& folder = model.paths.Evidence.str();
    const std::string inside = RelativeTo(model.paths.Evidence, input.mainLogPath);
    if (inside != input.mainLogPath)
        input.mainLogShown = ValidUtf8(folder.substr(folder.find_last_of('/') + 1) + "/" + inside);
    return input;
}

void WriteCover(CaseReport& report, const CaseReportInput& input, std::size_t problems)
{
    const Incident& incident = input.model.incident;
    ReportWriter w(report.cover);
    w.SetFont(kFont);
    w.SetAlignment(Alignment::Center);
    for (int i = 0; i < 6; ++i)
        Line(w, "");
    Line(w, "Case Report", true, 26);
    Line(w, "Incident " + input.model.CaseNumber, true, 18);
    Line(w, "");
    w.SetAlignment(Alignment::Left);
    const auto field = [&](const std::string& name, const std::string& value) {
        w.Append(name + ": ", true, false, false, 12);
        w.Append(value.empty() ? std::string("not given") : value, false, false, true, 12);
    };
    // The event file's moments as the rest of the report writes times.
    const auto moment = [](const std::string& date, const std::string& time) {
        const auto t = EventFileMoment(date, time);
        return t ? TimeText(*t) : date.empty() ? std::string() : date + " " + time;
    };
    field("Case number", input.model.CaseNumber);
    field("Location", incident.Location);
    field("Started", moment(incident.StartDate, incident.StartTime));
    field("Ended", moment(incident.EndDate, incident.EndTime));
    field("Examiner", input.examiner);
    field("Date of the report", input.date);
    field("Program", std::string("Pellam ") + kAppVersion);
    field("Evidence folder",
        ValidUtf8(input.model.paths.Evidence.str().substr(input.model.paths.Evidence.str().find_last_of('/') + 1)));
    field("Files examined",
        std::to_string(report.inventory.size())
            + (problems ? " (" + std::to_string(problems) + " could not be read)" : std::string()));
    Line(w, "");
    if (report.changed.empty()) {
        Line(w, "Every listed recording reads now as it read when the incident was opened.", false, 11);
    } else {
        Line(w, "Evidence changed since the incident was opened:", true, 12);
        for (const std::string& change : report.changed)
            Line(w, change, false, 11);
    }
}

ReportSection Inventory(const std::vector<InventoryEntry>& entries)
{
    ReportSection section = Section("Evidence Inventory");
    ReportWriter w = Writer(section);
    std::uint64_t total = 0;
    for (const InventoryEntry& e : entries)
        total += e.size;
    Line(w,
        std::to_string(entries.size()) + " files, " + std::to_string(total)
            + " bytes. Times of change are UTC; CRC-32 as the recording list writes it.");
    Line(w, "");
    for (const InventoryEntry& e : entries) {
        w.SetFont(kFont);
        Line(w, ValidUtf8(e.path), true, kSmallSize + 1);
        if (!e.problem.empty()) {
            Line(w, "not read: " + e.problem, false, kSmallSize);
            continue;
        }
        Line(w, std::to_string(e.size) + " bytes   modified " + e.modified + "   CRC-32 " + e.crc32, false, kSmallSize);
        w.SetFont(kFixedFont);
        Line(w, "SHA-256 " + e.sha256, false, kSmallSize);
    }
    return section;
}

ReportSection Notations(const Timeline& timeline)
{
    ReportSection section = Section("Main Log Notations");
    ReportWriter w = Writer(section);
    int count = 0;
    for (const TimelineEvent& e : timeline.events) {
        if (e.lane != TimelineLane::Main)
            continue;
        const auto author = NotationAuthor(e.text);
        if (!author)
            continue;
        ++count;
        const std::string when = e.time ? TimeText(*e.time) : std::string("no time");
        const std::string where = e.recording.empty() ? std::string("no listed recording")
                                                      : e.recording + " at " + MinutesAndSeconds(e.offset.value_or(0));
        Line(w, when + "   " + *author + "   " + where, true, kSmallSize + 1);
        const auto colon = e.text.find(": ");
        Line(w, colon == std::string::npos ? e.text : e.text.substr(colon + 2), false, kSmallSize + 1);
    }
    if (count == 0)
        Line(w, "The Main Log holds no notation.");
    return section;
}

// The examiner's marks in the order they were made; a mark on a recording
// whose content the inventory read otherwise says so.
ReportSection ExaminersNotes(const IncidentModel& model, const std::vector<InventoryEntry>& inventory)
{
    ReportSection section = Section(kNotesSectionHeading);
    ReportWriter w = Writer(section);
    const ReportMarks read
        = ReadMarksForReport(model.newLoad.EventFile, model.CaseNumber, model.paths.Evidence, OwnFolderPath());
    if (read.problem) {
        Line(w, "The examiner's notes could not be read: " + *read.problem);
        return section;
    }
    std::map<std::string, std::string> now;
    for (const InventoryEntry& e : inventory)
        if (e.problem.empty())
            now.emplace(e.path, e.sha256);
    std::vector<bool> stale;
    for (const Mark& m : read.marks) {
        const auto it = now.find(m.recording);
        stale.push_back(IsStale(m, it == now.end() ? std::nullopt : std::optional(it->second)));
    }
    for (const NoteLine& line : ExaminersNotesLines(read.marks, stale, model.roles))
        w.Append(line.text, line.bold, line.italic, true, kTextSize);
    return section;
}

ReportSection Persons(const CaseReportInput& input)
{
    ReportSection section = Section("Persons");
    const IncidentModel& model = input.model;
    if (model.RecordsPath.empty()) {
        ReportWriter w = Writer(section);
        Line(w, "The incident has no records file.");
        return section;
    }
    clsRecord store;
    store.SetRecordPath(model.RecordsPath);
    RecordTable records;
    RoleTable roles = model.roles;
    const auto loaded = store.RECORDLOAD(records, roles);
    if (!loaded) {
        ReportWriter w = Writer(section);
        Line(w, "The records file could not be read: " + loaded.error().text);
        return section;
    }
    const std::string today = TodayText(model.Formats);
    bool first = true;
    for (int role = 0; role < clsRecord::kWrittenRoles; ++role) {
        const int count = clsRecord::PersonCount(records, role).value_or(0);
        for (int person = 1; person <= count; ++person) {
            const auto r = static_cast<std::int16_t>(role), p = static_cast<std::int16_t>(person);
            const PhotoCheck photo = CheckPhoto(FieldText(records, r, p, "PhotoFile"), PicPath(model.paths));
            const std::string prefix = "person-" + std::to_string(role) + "-" + std::to_string(person) + "-";
            ReportPart part;
            part.doc = WithPicturesRenamed(Fillerup(records, roles, r, p, photo.note, today), prefix);
            part.newPage = !first;
            if (photo.note.empty())
                part.photos.emplace_back(prefix + kSheetPhoto, photo.path);
            section.parts.push_back(std::move(part));
            first = false;
        }
    }
    if (first) {
        ReportWriter w = Writer(section);
        Line(w, "The records file holds no person.");
    }
    return section;
}

ReportSection Conversations(const IncidentModel& model)
{
    ReportSection section = Section("Conversations");
    const auto index = ReadConversationIndex(model.paths.Evidence.Join("TxT.dat"));
    bool any = false;
    if (index) {
        for (int slot = 1; slot <= ConversationIndex::kConversations; ++slot) {
            const ConversationSlot& entry = index->entries[static_cast<std::size_t>(slot)];
            if (!entry.active)
                continue;
            ReportPart heading;
            heading.newPage = any;
            ReportWriter w(heading.doc);
            w.SetFont(kFont);
            Line(w, "Conversation with " + entry.contact + ", " + FormatPhone(entry.phone), true, 12);
            const std::string file = ConversationFile(model.paths.Evidence, model.CaseNumber, slot);
            auto doc = LoadRichTextFile(file);
            if (!doc)
                Line(w,
                    ValidUtf8(RelativeTo(model.paths.Evidence, file)) + " could not be read: " + Describe(doc.error()));
            section.parts.push_back(std::move(heading));
            if (doc)
                section.parts.push_back({std::move(doc).value(), false, {}});
            any = true;
        }
    }
    if (!any) {
        ReportWriter w = Writer(section);
        Line(w, "The incident holds no conversation.");
    }
    return section;
}

ReportSection Attachments(const AttachmentList& list)
{
    ReportSection section = Section("Attachments");
    ReportWriter w = Writer(section);
    if (list.entries.empty())
        Line(w, "No attachment is listed.");
    for (const AttachmentEntry& a : list.entries) {
        Line(w, a.FileName, true, kSmallSize + 1);
        Line(w, a.Description + "   " + a.FileType + "   " + a.ApproxSize, false, kSmallSize + 1);
    }
    return section;
}

} // namespace

std::vector<OpenedRecording> OpenedRecordingsOf(const IncidentModel& model)
{
    std::vector<OpenedRecording> opened;
    for (std::size_t i = 0; i < model.MP3Paths.size() && i < model.MP3Table.size(); ++i)
        opened.push_back(
            {RelativeTo(model.paths.Evidence, model.MP3Paths[i]), model.MP3Table[i].CRC, model.MP3Table[i].Sha256});
    return opened;
}

std::vector<std::string> ChangedSinceOpen(
    const std::vector<OpenedRecording>& opened, const std::vector<InventoryEntry>& now)
{
    std::map<std::string, const InventoryEntry*> byPath;
    for (const InventoryEntry& e : now)
        byPath[e.path] = &e;
    std::vector<std::string> changed;
    for (const OpenedRecording& r : opened) {
        const std::string name = ValidUtf8(r.path);
        const auto it = byPath.find(r.path);
        if (it == byPath.end()) {
            changed.push_back(name + " is no longer in the evidence folder.");
        } else if (!it->second->problem.empty()) {
            changed.push_back(name + " cannot be read now: " + it->second->problem + ".");
        } else if (!r.sha256.empty() && r.sha256 != it->second->sha256) {
            changed.push_back(name + ": SHA-256 " + r.sha256 + " when opened, " + it->second->sha256 + " now.");
        } else if (!r.crc.empty() && r.crc != kUnknownCrc && r.crc != it->second->crc32) {
            changed.push_back(name + ": CRC-32 " + r.crc + " when opened, " + it->second->crc32 + " now.");
        }
    }
    return changed;
}

std::optional<std::string> NotationAuthor(const std::string& text)
{
    if (!text.starts_with("("))
        return std::nullopt;
    constexpr std::string_view kBy = "Notation By ";
    const auto by = text.find(kBy);
    if (by == std::string::npos)
        return std::nullopt;
    const auto start = by + kBy.size();
    const auto end = text.find(": ", start);
    return end == std::string::npos ? text.substr(start) : text.substr(start, end - start);
}

RichDocument WithPicturesRenamed(const RichDocument& doc, const std::string& prefix)
{
    RichDocument out;
    out.fonts = doc.fonts;
    out.colours = doc.colours;
    for (std::size_t p = 0; p < doc.ParagraphCount(); ++p) {
        if (p == 0)
            out.SetAlignment(doc.ParagraphAlignment(0));
        else
            out.NewParagraph(doc.ParagraphAlignment(p));
        for (const RunView& run : doc.Runs(p))
            out.Append(run.text, run.format, run.picture.empty() ? std::string() : prefix + run.picture);
    }
    return out;
}

CaseReportInput CaseReportInputOf(const IncidentModel& model, std::string examiner)
{
    return {model, std::move(examiner), PrintedDate(std::time(nullptr))};
}

CaseReportBuilder::CaseReportBuilder(CaseReportInput input)
    : m_input(std::move(input)), m_scan(m_input.model.paths.Evidence)
{ }

CaseReportBuilder::~CaseReportBuilder() = default;

int CaseReportBuilder::ProgressMax() const
{
    return static_cast<int>(m_scan.Entries().size() + m_input.model.MP3Paths.size()) + 1;
}

std::string CaseReportBuilder::Activity() const
{
    switch (m_phase) {
    case Phase::Inventory:
        return "Reading " + std::to_string(m_scan.Done() + 1) + " of " + std::to_string(m_scan.Entries().size())
            + " files of the evidence folder";
    case Phase::CrcTest:
        return "Testing the recordings' CRC values against the Main Log";
    case Phase::Documents:
        return "Putting the documents together";
    case Phase::Done:
        break;
    }
    return "Done";
}

bool CaseReportBuilder::Step()
{
    switch (m_phase) {
    case Phase::Inventory:
        if (!m_scan.Step()) {
            m_phase = Phase::CrcTest;
            m_crc = CRCTest::Of(CrcTestInputForReport(m_input.model));
            if (const auto refused = m_crc->Start())
                m_crcRefused = refused->text;
        }
        m_progress = static_cast<int>(m_scan.Done());
        return true;
    case Phase::CrcTest:
        if (m_crcRefused || !m_crc->Step())
            m_phase = Phase::Documents;
        m_progress = static_cast<int>(m_scan.Entries().size()) + (m_crcRefused ? 0 : m_crc->Progress());
        return true;
    case Phase::Documents:
        BuildDocuments();
        m_phase = Phase::Done;
        m_progress = ProgressMax();
        return false;
    case Phase::Done:
        break;
    }
    return false;
}

void CaseReportBuilder::BuildDocuments()
{
    const IncidentModel& model = m_input.model;
    m_report.inventory = m_scan.Entries();
    m_report.changed = ChangedSinceOpen(OpenedRecordingsOf(model), m_report.inventory);
    WriteCover(m_report, m_input, m_scan.Problems());

    m_report.sections.push_back(Inventory(m_report.inventory));

    ReportSection crc = Section("CRC Integrity Test");
    if (m_crcRefused) {
        ReportWriter w = Writer(crc);
        Line(w, *m_crcRefused);
    } else {
        crc.parts.push_back({m_crc->Report(), false, {}});
    }
    m_report.sections.push_back(std::move(crc));

    ReportSection statistics = Section("Statistics");
    statistics.parts.push_back({BuildStatistics(StatisticsOf(model)), false, {}});
    m_report.sections.push_back(std::move(statistics));

    const IncidentTexts texts = ReadIncidentTexts(model);
    auto timeline = std::make_shared<Timeline>(BuildTimeline(TimelineInputOf(model), texts));
    ReportSection picture = Section("Timeline");
    {
        ReportWriter w = Writer(picture);
        if (const auto span = timeline->Span()) {
            Line(w,
                "From " + TimeText(span->first) + " to " + TimeText(span->second) + ", "
                    + std::to_string(timeline->events.size()) + " events.");
            picture.parts.front().doc.Append(u"[timeline]", CharFormat {}, kTimelinePicture);
        } else {
            Line(w, "Nothing in the incident's documents is dated.");
        }
        for (const DocumentProblem& problem : texts.problems)
            Line(
                w, ValidUtf8(RelativeTo(model.paths.Evidence, problem.file)) + " could not be read: " + problem.reason);
    }
    m_report.sections.push_back(std::move(picture));
    m_report.sections.push_back(Notations(*timeline));
    m_report.timeline = std::move(timeline);

    m_report.sections.push_back(Persons(m_input));
    m_report.sections.push_back(Conversations(model));
    m_report.sections.push_back(Attachments(model.attachments));
    m_report.sections.push_back(ExaminersNotes(model, m_report.inventory));
}

} // namespace pellam
