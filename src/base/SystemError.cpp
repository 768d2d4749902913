#include "base/SystemError.h"

#include <cerrno>
#include <string.h>

namespace pellam {

SystemError::SystemError(int errorNumber) : number(errorNumber)
{
    char buf[256] = {};
    // The GNU variant, safe from any thread, returns the text, which may or
    // may not live in buf.
    text = ::strerror_r(errorNumber, buf, sizeof buf);
}

SystemError SystemError::Last()
{
    return SystemError(errno);
}

bool SystemError::Missing() const
{
    return number == ENOENT || number == ENOTDIR;
}

} // namespace pellam
