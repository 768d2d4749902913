#pragma once
// Runs pellam-cli with arguments and collects its output and exit status.
#include "support/TempDir.h"

#include <cstdlib>
#include <string>
#include <vector>

#include <sys/wait.h>

namespace pellam::test {

struct CliOutput {
    std::string out;
    std::string err;
    int status = -1;
};

// Single-quotes a word for the shell, quotes inside included.
inline std::string ShellQuote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

inline CliOutput RunVerb(const std::vector<std::string>& args)
{
    TempDir dir;
    // A verb that hangs (waiting on a FIFO, say) is ended and fails its test.
    std::string command = "timeout 30 " + ShellQuote(PELLAM_CLI);
    for (const auto& a : args)
        command += " " + ShellQuote(a);
    const int status
        = std::system((command + " >" + ShellQuote(dir.file("out")) + " 2>" + ShellQuote(dir.file("err"))).c_str());
    return {ReadAll(dir.file("out")), ReadAll(dir.file("err")), WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

} // namespace pellam::test
