#include "casereport/ReportOutput.h"

#include "base/Cp1252.h"
#include "base/SystemError.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pellam {
std::optional<Message> CheckReportOutput(const std::string& out, const FolderPath& evidence)
{
    const std::string shown = ValidUtf8(out);
    if (LiesInside(out, evidence))
        return Message {"Not Written",
            "Nothing is written into the evidence folder " + ValidUtf8(evidence.str())
                + ": choose a file in another folder.",
            MessageIcon::Exclamation, "File: " + shown};
    struct stat st { };
    const bool existed = ::stat(out.c_str(), &st) == 0;
    const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY, 0644);
    if (fd < 0)
        return Message {"Not Written", "The file " + shown + " cannot be written: " + SystemError(errno).text + ".",
            MessageIcon::Exclamation, "File: " + shown};
    ::close(fd);
    if (!existed)
        ::unlink(out.c_str());
    return std::nullopt;
}

} // namespace pellam
