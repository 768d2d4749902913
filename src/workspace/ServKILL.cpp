#include "workspace/ServKILL.h"

#include "base/AsciiCase.h"
#include "base/PathText.h"
#include "base/Text.h"

#include <dirent.h>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace pellam {
namespace {

std::string ReadSmallFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string s;
    std::getline(in, s, '\0');
    return s;
}

ProcessList List(const ProcessSource& source)
{
    return source ? source() : ReadProcFs();
}

} // namespace

ProcessList ReadProcFs(const std::string& procRoot)
{
    DIR* dir = ::opendir(procRoot.c_str());
    if (!dir) {
        return fail(SystemError::Last());
    }
    std::vector<ProcessNames> out;
    while (const dirent* e = ::readdir(dir)) {
        const std::string pid = e->d_name;
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const std::string base = procRoot + "/" + pid;
        ProcessNames p;
        char buf[4096];
        const ssize_t n = ::readlink((base + "/exe").c_str(), buf, sizeof buf - 1);
        if (n > 0) {
            std::string exe(buf, static_cast<std::size_t>(n));
            // A replaced executable reads "/path/name (deleted)".
            const std::string deleted = " (deleted)";
            if (exe.size() > deleted.size() && exe.ends_with(deleted))
                exe.resize(exe.size() - deleted.size());
            p.names.push_back(BaseName(exe));
        }
        if (std::string argv0 = ReadSmallFile(base + "/cmdline"); !argv0.empty())
            p.names.push_back(BaseName(argv0));
        if (p.names.empty()) {
            std::string comm = ReadSmallFile(base + "/comm");
            if (!comm.empty() && comm.back() == '\n')
                comm.pop_back();
            if (!comm.empty())
                p.names.push_back(comm);
        }
        if (!p.names.empty())
            out.push_back(std::move(p)); // a process that ended meanwhile has no names
    }
    ::closedir(dir);
    return out;
}

bool ProcessMatches(const ProcessNames& process, const std::string& target, bool trimBlanks)
{
    const std::string t = AsciiLower(target);
    for (const auto& name : process.names) {
        const std::string n = AsciiLower(trimBlanks ? std::string(Trim(name)) : name);
        if (n.ends_with(t))
            return true;
    }
    return false;
}

ProcessCheck ProcessRunning(const std::string& target, const ProcessSource& source)
{
    const auto processes = List(source);
    if (!processes)
        return fail(processes.error());
    for (const auto& p : processes.value())
        if (ProcessMatches(p, target, true))
            return true;
    return false;
}

Message ProcessRunningFailedMessage(const SystemError& error)
{
    return Message {"Process Error",
        std::string("Error occurred while checking processes.") + kLineBreak + "Error# " + std::to_string(error.number)
            + " - " + error.text,
        MessageIcon::Information};
}

} // namespace pellam
