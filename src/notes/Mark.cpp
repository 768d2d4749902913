#include "notes/Mark.h"

#include "richtext/PrintFooter.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <pwd.h>
#include <unistd.h>

namespace pellam {

namespace {
constexpr const char* kOnNames[] = {"recording", "document", "conversation", "person"};
}

const char* MarkOnName(MarkOn on)
{
    return kOnNames[static_cast<int>(on)];
}

std::optional<MarkOn> MarkOnFromName(std::string_view name)
{
    for (int i = 0; i < 4; ++i)
        if (name == kOnNames[i])
            return static_cast<MarkOn>(i);
    return std::nullopt;
}

std::string PersonSource(int role, int person)
{
    return "Record:" + std::to_string(role) + ":" + std::to_string(person);
}

bool IsStale(const Mark& mark, const std::optional<std::string>& currentSha256)
{
    if (mark.on != MarkOn::Recording || mark.recordingSha256.empty())
        return false;
    return !currentSha256 || *currentSha256 != mark.recordingSha256;
}

std::int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::string LocalIsoText(std::int64_t ms)
{
    // Whole seconds toward the past, so a moment before 1970 does not round up.
    const std::time_t seconds = static_cast<std::time_t>(ms >= 0 ? ms / 1000 : (ms - 999) / 1000);
    std::tm local {};
    if (!::localtime_r(&seconds, &local))
        return std::string();
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
        local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

std::string ExaminerName()
{
    if (std::string named; ExaminerFromEnvironment(named))
        return named;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_name)
        return pw->pw_name;
    if (const char* login = std::getenv("LOGNAME"); login && *login)
        return login;
    return std::string();
}

} // namespace pellam
