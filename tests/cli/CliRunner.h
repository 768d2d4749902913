#pragma once
// Runs the built pellam-cli with arguments and captures what it prints.
#include <string>
#include <vector>

namespace pellam::test {

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

CliResult RunCli(const std::vector<std::string>& args);

} // namespace pellam::test
