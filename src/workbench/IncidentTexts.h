#pragma once
// Every document of an incident an examiner reads, as plain text with its
// dated entries: the four logs, the text conversations, each person's record
// sheet and the attachments list. The timeline and the search across the
// incident are built from it; it is read once per opened incident.
#include "base/Message.h"
#include "workbench/DatedEntries.h"
#include "workspace/IncidentModel.h"

#include <cstdint>
#include <stop_token>
#include <string>
#include <vector>

namespace pellam {

enum class DocumentKind : std::uint8_t { Log, Conversation, RecordSheet, Attachments };

struct IncidentDocument {
    DocumentKind kind = DocumentKind::Log;
    // "MainLog", "NocLog", "AdminLog", "NppReport"; a conversation's file
    // name; "Record:ROLE:PERSON"; "Attachments".
    std::string source;
    std::string path; // the file it was read from ("" for what the program lays out)
    // Log 0..3 or conversation slot 1..4; the role of a record sheet.
    int index = 0;
    int person = 0; // a record sheet's person, from 1
    std::u16string text; // positions as the log viewer counts them
    std::vector<DatedEntry> entries;
};

// A document the incident names that could not be read.
struct DocumentProblem {
    std::string file;
    std::string reason;
};

struct IncidentTexts {
    std::vector<IncidentDocument> documents; // in the order listed above
    std::vector<DocumentProblem> problems;
};

inline constexpr const char* kLogSources[4] = {"MainLog", "NocLog", "AdminLog", "NppReport"};

// The attachments list as one text: a line per attachment with its file
// name, description, type and size separated by tabs.
std::u16string AttachmentsText(const AttachmentList& list);

// Reads the incident's documents; stops early (with what it has) when asked to.
IncidentTexts ReadIncidentTexts(const IncidentModel& model, std::stop_token stop = {});

} // namespace pellam
