#pragma once
// What the system's sha256sum says, for tests that hold our hashes and
// manifests to it.
#include "cli/RunVerb.h"

#include <array>
#include <cstdio>
#include <string>

namespace pellam::test {

// The SHA-256 of a file in lower-case hex as sha256sum prints it; "" when it fails.
inline std::string SystemSha256(const std::string& path)
{
    std::array<char, 65> out {};
    FILE* p = ::popen(("sha256sum " + ShellQuote(path)).c_str(), "r");
    if (!p)
        return {};
    const bool read = std::fread(out.data(), 1, 64, p) == 64;
    ::pclose(p);
    return read ? std::string(out.data(), 64) : std::string();
}

} // namespace pellam::test
