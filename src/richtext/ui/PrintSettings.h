#pragma once
// What the program remembers between runs for its printouts: the examiner's
// name, asked once, and the folder the last PDF went into.
#include <QString>

#include <optional>
#include <string>

namespace pellam {

// PELLAM_EXAMINER when set, else the name remembered; nothing when neither
// gives one (the program then asks).
std::optional<std::string> KnownExaminer();
void RememberExaminer(const std::string& name);

// The folder of the last PDF printed; the home folder before the first.
QString LastPrintFolder();
void RememberPrintFolder(const QString& folder);

// "<folder>/<case>-<document>.pdf", the characters a file name cannot hold
// replaced by "_".
QString SuggestedPdfPath(const QString& folder, const std::string& caseNumber, const std::string& document);

} // namespace pellam
