#include "CliRunner.h"

#include "support/TempDir.h"

#include <cstdlib>
#include <sys/wait.h>

namespace pellam::test {

namespace {
std::string Quote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}
} // namespace

CliResult RunCli(const std::vector<std::string>& args)
{
    TempDir dir;
    std::string cmd = Quote(PELLAM_CLI);
    for (const auto& a : args)
        cmd += " " + Quote(a);
    cmd += " >" + Quote(dir.file("out")) + " 2>" + Quote(dir.file("err"));
    const int status = std::system(cmd.c_str());
    CliResult r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = ReadAll(dir.file("out"));
    r.err = ReadAll(dir.file("err"));
    return r;
}

} // namespace pellam::test
