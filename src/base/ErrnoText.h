#pragma once
// The system's description of an error number ("No such file or directory"),
// safe to call from any thread.
#include <string>
#include <string.h>

namespace pellam {

inline std::string ErrnoText(int err)
{
    char buf[256] = {};
    // The GNU variant returns the text, which may or may not live in buf.
    return ::strerror_r(err, buf, sizeof buf);
}

} // namespace pellam
