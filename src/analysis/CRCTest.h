#pragma once
// The CRC integrity test: every listed recording's CRC, as computed when the
// list was filled, against the CRC the incident system noted in the Main Log
// when the incident ended, written as a report. The test is a small state
// machine: Start() writes the heading, each Step() one recording's line, and
// the last step the summary, so a window can let its events run between steps.
// After the report, the recordings the Main Log lists that the evidence folder
// no longer holds (deleted, replaced by something that is no file, or a link
// leading out of the folder) are told apart from it: the report only compares
// the recordings the folder holds, so they would pass unnoticed.
#include "analysis/ReportWriter.h"
#include "base/FolderPath.h"
#include "base/Message.h"
#include "richtext/RichDocument.h"
#include "workspace/IncidentModel.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace pellam {

inline constexpr const char* kNoMainLog = "NONE";
inline constexpr const char* kLogError = "(LOG ERROR)";
inline constexpr const char* kUnreadableCrc = "?? ?? ?? ??";

// The CRCs the Main Log notes after its end-of-incident marker. The marker is
// located once; each name is then found in the text after it.
class LoggedCrcList {
public:
    // A Main Log that could not be read: every lookup is a read error.
    LoggedCrcList() = default;
    LoggedCrcList(std::u16string_view logText, const std::string& caseNumber);

    bool Readable() const { return m_readable; }
    // "Incident Number: <case> Ended." occurs in the log (letter case ignored).
    bool Ended() const { return m_ended; }
    // The 11 characters ending 38 characters after the name's first occurrence
    // after the marker; "(LOG ERROR)" when the log is not ended or does not
    // name it there; "?? ?? ?? ??" when the log could not be read.
    std::string GetLoggedCRC(const std::string& name) const;
    // Finds where the names occur, all in one pass over the log, so that
    // looking each of them up afterwards costs nothing.
    void Locate(const std::vector<std::string>& names);
    // The recordings the list after the marker names, in log order, each once:
    // the text from the start of a line up to 27 characters before a CRC text
    // (four two-digit hexadecimal bytes separated by single blanks), when it
    // ends in ".mp3" (letter case ignored).
    std::vector<std::string> ListedNames() const;

private:
    std::optional<std::size_t> FindName(const std::string& name) const;

    bool m_readable = false;
    bool m_ended = false;
    std::u16string m_after; // the text from the marker on, letter case folded
    std::u16string m_afterOriginal;
    std::unordered_map<std::string, std::optional<std::size_t>> m_located; // end of each name's first occurrence
};

struct CrcTestRecording {
    std::string FileName;
    std::string CRC;
};

// A recording the Main Log lists that the evidence folder does not hold as a
// regular file, and what is there instead.
struct UnheldRecording {
    std::string FileName;
    std::string Reason; // "absent", "a FIFO", "a link leading out of the folder", ...
    bool operator==(const UnheldRecording&) const = default;
};

// Those of `names` that are not regular files of `folder` (links inside the
// folder to regular files inside it count as held).
std::vector<UnheldRecording> UnheldRecordings(const std::vector<std::string>& names, const FolderPath& folder);

// The notice that follows the report: how many, then one line per recording
// ("name: reason"); nullopt when every listed recording is held.
std::optional<Message> UnheldNotice(const std::vector<UnheldRecording>& unheld);

// What the test compares: the listed recordings' CRCs against the case's Main Log.
struct CrcTestInput {
    std::string caseNumber;
    std::string mainLogPath;
    std::vector<CrcTestRecording> recordings;
    FolderPath evidenceFolder; // where the listed recordings must be; none to skip that check
    // How the text names the Main Log; its path when empty. A report meant to
    // read the same on every machine names it inside the evidence folder.
    std::string mainLogShown;
};

// The incident's listed recordings, its case and Main Log.
CrcTestInput CrcTestInputOf(const IncidentModel& model);

enum class CrcTestOutcome {
    Running,
    NoRecordings, // nothing listed: the short report
    NoMainLog, // the incident has no Main Log: nothing tested
    NotEnded, // the Main Log has no end marker for this case
    AllPassed,
    SomeFailed,
    LogUnreadable, // the Main Log could not be read: every recording failed
};

class CRCTest {
public:
    // evidenceFolder: where the listed recordings must be; none to skip that check.
    CRCTest(std::string caseNumber, std::string mainLogPath, std::vector<CrcTestRecording> recordings,
        FolderPath evidenceFolder = {});
    CRCTest(const CRCTest&) = delete;
    CRCTest& operator=(const CRCTest&) = delete;
    static std::unique_ptr<CRCTest> Of(CrcTestInput input);

    // Steps 1 to 6: the heading, or the short report without recordings.
    // Without a Main Log nothing is written and the message is returned.
    std::optional<Message> Start();
    // Compares the next recording; the last step writes the summary. False
    // once the test has ended.
    bool Step();
    // Start() and every step; the message when the test could not start.
    std::optional<Message> Run();

    const RichDocument& Report() const { return m_report; }
    CrcTestOutcome Outcome() const { return m_outcome; }
    int ProgressMax() const { return static_cast<int>(m_recordings.size()); }
    int Progress() const { return m_progress; }
    // Once the summary is written: the listed recordings the folder lacks.
    const std::vector<UnheldRecording>& Unheld() const { return m_unheld; }

private:
    bool CheckLoggedCRC(const std::string& name, const std::string& crc);
    void LoadLog();
    void FindUnheld();
    void WriteNotEnded();
    void WriteSummary();

    std::string m_caseNumber;
    std::string m_mainLogPath;
    std::string m_mainLogShown;
    std::vector<CrcTestRecording> m_recordings;
    FolderPath m_evidenceFolder;
    std::vector<UnheldRecording> m_unheld;
    RichDocument m_report;
    ReportWriter m_out {m_report};
    LoggedCrcList m_logged;
    std::vector<bool> m_failFlags;
    std::size_t m_maxNameLength = 0;
    std::size_t m_next = 0;
    int m_progress = 0;
    bool m_logNotEnded = false;
    CrcTestOutcome m_outcome = CrcTestOutcome::Running;
};

} // namespace pellam
