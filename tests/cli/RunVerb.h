#pragma once
// Runs pellam-cli with arguments and collects its output and exit status.
#include "support/TempDir.h"

#include <cstdio>
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
    std::string command = ShellQuote(PELLAM_CLI);
    for (const auto& a : args)
        command += " " + ShellQuote(a);
    command += " 2>'" + dir.file("stderr") + "'";
    CliOutput result;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char buf[4096];
    std::size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
        result.out.append(buf, n);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.err = ReadAll(dir.file("stderr"));
    return result;
}

} // namespace pellam::test
