#pragma once
// The examiner's case report as documents: a cover, then the sections an
// examiner hands on (the evidence inventory with every file's hashes, the
// CRC integrity test, the statistics page, the timeline, the Main Log's
// notations, the persons' record sheets, the conversations, the
// attachments list and the examiner's notes), each built by the code that builds it for its window.
// Built step by step, so that a window shows its progress and stays
// responsive; a view puts the documents on pages.
#include "casereport/EvidenceInventory.h"
#include "richtext/RichDocument.h"
#include "workbench/Timeline.h"
#include "workspace/IncidentModel.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pellam {

class CRCTest;

// One document of a section, from a new page or not; the photos its
// picture runs name are loaded by the view from their files.
struct ReportPart {
    RichDocument doc;
    bool newPage = false;
    std::vector<std::pair<std::string, std::string>> photos; // picture name, file
};

struct ReportSection {
    std::string heading; // as the contents list it; the first part begins with it
    std::vector<ReportPart> parts;
};

// The name of the timeline's picture run; the view draws the picture.
inline constexpr const char* kTimelinePicture = "timeline";

struct CaseReport {
    RichDocument cover;
    std::vector<ReportSection> sections;
    std::shared_ptr<const Timeline> timeline; // what the picture shows
    std::vector<InventoryEntry> inventory;
    // Recordings that read otherwise now than when the incident was opened.
    std::vector<std::string> changed;
};

// What the open learnt of a listed recording, to be compared with what the
// report reads of it.
struct OpenedRecording {
    std::string path; // relative to the evidence folder
    std::string crc; // the confirmed CRC text of the list ("Unknown" when none)
    std::string sha256; // "" when the open took none
};
std::vector<OpenedRecording> OpenedRecordingsOf(const IncidentModel& model);

// What the recordings read now that the open read otherwise, a sentence each.
std::vector<std::string> ChangedSinceOpen(
    const std::vector<OpenedRecording>& opened, const std::vector<InventoryEntry>& now);

// The author of a Main Log notation's text ("(00:03) Notation By Sgt. Ilse
// Varga: ..."); nothing when the text is no notation.
std::optional<std::string> NotationAuthor(const std::string& text);

// The document with its picture runs renamed `prefix` + their name, so that
// pictures of several documents put together keep apart.
RichDocument WithPicturesRenamed(const RichDocument& doc, const std::string& prefix);

struct CaseReportInput {
    IncidentModel model; // as the open left it, its recording pass ended
    std::string examiner;
    std::string date; // the report's date, YYYY-MM-DD
};

// The report's input; its date is PELLAM_TODAY or today.
CaseReportInput CaseReportInputOf(const IncidentModel& model, std::string examiner);

class CaseReportBuilder {
public:
    explicit CaseReportBuilder(CaseReportInput input);
    ~CaseReportBuilder();

    // One step: a file of the inventory, a recording of the CRC test, or one
    // of the documents; false once the report is complete.
    bool Step();
    bool Done() const { return m_phase == Phase::Done; }
    int Progress() const { return m_progress; }
    int ProgressMax() const;
    // What the step under way does, for the progress shown.
    std::string Activity() const;
    // The report, once Done.
    CaseReport Take() { return std::move(m_report); }

private:
    enum class Phase { Inventory, CrcTest, Documents, Done };
    void BuildDocuments();

    CaseReportInput m_input;
    Phase m_phase = Phase::Inventory;
    int m_progress = 0;
    InventoryScan m_scan;
    std::unique_ptr<CRCTest> m_crc;
    std::optional<std::string> m_crcRefused;
    CaseReport m_report;
};

} // namespace pellam
