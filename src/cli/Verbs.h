#pragma once
// pellam-cli verbs register themselves here, one file per verb, so adding a
// verb touches nothing else. The registry checks the argument count against
// the verb's usage before the verb runs, so a verb always gets what it asked
// for.
#include "richtext/RtfReader.h"
#include "workspace/LocaleFormats.h"

#include <optional>
#include <string>
#include <vector>

namespace pellam::cli {

using Args = std::vector<std::string>;
using VerbFn = int (*)(const Args& args);

// Exit codes shared by every verb.
inline constexpr int kOk = 0;
inline constexpr int kNegative = 1;
inline constexpr int kBadInput = 2;

// `usage` names the arguments, one word each; a last word ending in "..."
// stands for one or more. `summary` is the line `--help` shows.
struct VerbRegistrar {
    VerbRegistrar(const char* name, const char* usage, const char* summary, VerbFn fn);
};

// The figures of the user's locale, read once at start-up from the
// environment (LC_ALL, LC_NUMERIC / LC_TIME, LANG), as sizes and dates are
// written; the window reads them by the same rule.
const LocaleFormats& UserFormats();

// Why a log document could not be read, for Complain.
const char* RichTextFileReason(RichTextFileError error);

// Writes "pellam-cli: <file>: <reason>" to stderr; returns kBadInput.
int Complain(const std::string& file, const std::string& reason);
// "EVT [OPTION]" read with the option before the event file as well as after
// it; any other word is complained about (the answer is then kBadInput).
struct EventFileWithOption {
    std::string eventFile;
    bool option = false;
};
std::optional<EventFileWithOption> ReadEventFileWithOption(
    const Args& args, const std::string& option, const std::string& unknownReason);

// Writes "pellam-cli: <file>: <note>" to stderr: something the answer leaves
// out or reads around, which the examiner should know.
void Tell(const std::string& file, const std::string& note);

} // namespace pellam::cli
