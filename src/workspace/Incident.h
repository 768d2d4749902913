#pragma once
// The incident record read from the event file.
#include "base/Result.h"
#include "base/SystemError.h"

#include <array>
#include <cstdint>
#include <string>

namespace pellam {

struct Incident {
    static constexpr int kMaxSubjects = 10;

    std::string CaseNumber;
    std::string StartTime;
    std::string StartDate;
    std::string Location;
    std::int16_t SubjectCount = 0;
    std::array<std::string, kMaxSubjects + 1> SubjectName; // indices 1..10
    std::array<std::string, kMaxSubjects + 1> SubjectDOB; // indices 1..10
    // The attachments folder as the incident system wrote it, a folder of its
    // machine ("C:\...\"), closed with its separator after reading; the
    // folder on this machine is ResolveAttachmentFolder's.
    std::string AttachPath;
    std::string EndDate;
    std::string EndTime;
    std::int16_t Mp3Count = 0;

    // How many subject entries the file carried: N pairs when N >= 2, else one.
    int SubjectsRead() const { return SubjectCount >= 2 ? SubjectCount : 1; }
};

// Reads an event file. A missing, unreadable or short file, a bad integer or
// more than 10 subjects is an error: the system's when the file could not be
// opened, number 0 and the value at fault when its content was. AttachPath keeps the incident system's
// text; where the attachments are on this machine is ResolveAttachmentFolder's.
Result<Incident, SystemError> ReadEventFile(const std::string& path);

} // namespace pellam
