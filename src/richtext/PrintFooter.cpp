#include "richtext/PrintFooter.h"

#include "base/Cp1252.h"
#include "base/Version.h"

#include <cstdio>
#include <cstdlib>
#include <regex>

namespace pellam {
namespace {

// PELLAM_TODAY as YYYY-MM-DD: given so, or as the record sheets take it
// (m/d/yyyy); "" when unset or neither.
std::string FixedToday()
{
    const char* fixed = std::getenv("PELLAM_TODAY");
    if (!fixed)
        return {};
    static const std::regex iso(R"(\d{4}-\d{2}-\d{2})");
    if (std::regex_match(fixed, iso))
        return fixed;
    static const std::regex us(R"((\d{1,2})/(\d{1,2})/(\d{4}))");
    std::cmatch m;
    if (!std::regex_match(fixed, m, us))
        return {};
    char text[16];
    std::snprintf(text, sizeof text, "%s-%02d-%02d", m[3].str().c_str(), std::stoi(m[1]), std::stoi(m[2]));
    return text;
}

std::string LocalText(std::time_t now, const char* pattern)
{
    std::tm local {};
    localtime_r(&now, &local);
    char text[32];
    return std::string(text, std::strftime(text, sizeof text, pattern, &local));
}

} // namespace

FooterTexts FooterOf(const PrintStamp& stamp, int page, int pages)
{
    FooterTexts f;
    f.topLeft = stamp.caseNumber.empty() ? stamp.document : "Case " + stamp.caseNumber + " \u00b7 " + stamp.document;
    f.topRight = "page " + std::to_string(page) + " of " + std::to_string(pages);
    // The name is isolated, so that a right-to-left name keeps the words
    // around it in their places.
    f.bottomLeft = "printed " + stamp.printed
        + (stamp.examiner.empty() ? std::string(" by an examiner who gave no name")
                                  : " by \u2068" + stamp.examiner + "\u2069");
    f.bottomRight = std::string("Pellam ") + kAppVersion;
    return f;
}

std::string PrintedWhen(std::time_t now)
{
    const std::string fixed = FixedToday();
    return fixed.empty() ? LocalText(now, "%Y-%m-%d %H:%M") : fixed;
}

std::string PrintedDate(std::time_t now)
{
    const std::string fixed = FixedToday();
    return fixed.empty() ? LocalText(now, "%Y-%m-%d") : fixed;
}

bool ExaminerFromEnvironment(std::string& name)
{
    const char* given = std::getenv("PELLAM_EXAMINER");
    if (!given)
        return false;
    // A name set from a Windows-1252 terminal or script arrives in its bytes.
    const std::string bytes(given);
    name = ValidUtf8(bytes) == bytes ? bytes : DecodeCp1252(bytes);
    return true;
}

} // namespace pellam
