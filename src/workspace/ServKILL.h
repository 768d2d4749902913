#pragma once
// Whether another program is running: the sibling program Vistrel, so that
// it is not started twice.
#include "base/Message.h"
#include "base/Result.h"
#include "base/SystemError.h"

#include <functional>
#include <string>
#include <vector>

namespace pellam {

// The names a running process is known by: the base name of its executable
// and of the first word of its command line. /proc/PID/comm alone is cut at
// 15 characters, so it is only the last resort.
struct ProcessNames {
    std::vector<std::string> names;
};

// The running processes, or why they cannot be listed.
using ProcessList = Result<std::vector<ProcessNames>, SystemError>;
using ProcessSource = std::function<ProcessList()>;

// The system's processes, read from /proc.
ProcessList ReadProcFs(const std::string& procRoot = "/proc");

// A process matches when one of its names, in lower case, ends with the
// target in lower case; with trimBlanks, blanks around the names are not
// counted (ProcessRunning trims them).
bool ProcessMatches(const ProcessNames& process, const std::string& target, bool trimBlanks);

// A check, or why the processes could not be listed.
using ProcessCheck = Result<bool, SystemError>;

// True when at least one process matches.
ProcessCheck ProcessRunning(const std::string& target, const ProcessSource& source = {});

// The box shown when ProcessRunning could not list them, with the system's reason.
Message ProcessRunningFailedMessage(const SystemError& error);

} // namespace pellam
