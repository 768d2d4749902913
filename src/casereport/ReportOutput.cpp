#include "casereport/ReportOutput.h"

#include "base/Cp1252.h"
#include "base/SystemError.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pellam {
namespace {

// The path with links and ".." resolved; a name that does not exist yet
// is kept after its resolved folder.
std::string Resolved(const std::string& path)
{
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        std::string resolved(real);
        std::free(real);
        return resolved;
    }
    const auto slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (folder == path)
        return path;
    std::string parent = Resolved(folder);
    return parent == "/" ? "/" + name : parent + "/" + name;
}

} // namespace

bool LiesInside(const std::string& path, const FolderPath& folder)
{
    if (folder.empty())
        return false;
    const std::string inner = Resolved(path);
    const std::string outer = Resolved(folder.str());
    return inner == outer || inner.starts_with(outer == "/" ? outer : outer + "/");
}

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
