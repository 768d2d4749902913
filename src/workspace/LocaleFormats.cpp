#include "workspace/LocaleFormats.h"

#include <cstdio>
#include <cstdlib>
#include <langinfo.h>
#include <locale.h>

namespace pellam {
namespace {

// The locale the environment selects for one category, as the C library
// resolves it: LC_ALL, then the category's variable, then LANG.
std::string EnvLocale(const char* category)
{
    for (const char* var : {"LC_ALL", category, "LANG"}) {
        const char* v = std::getenv(var);
        if (v && *v)
            return v;
    }
    return "C";
}

bool IsUsDefault(const std::string& name)
{
    return name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0 || name.rfind("en_US", 0) == 0;
}

std::string Pad2(int v)
{
    std::string s = std::to_string(v);
    return s.size() < 2 ? "0" + s : s;
}

} // namespace

std::string PatternFromStrftime(const std::string& format)
{
    std::string out;
    bool quoted = false;
    auto literal = [&](char c) {
        const bool special = std::string("dMyhHmst'").find(c) != std::string::npos;
        if (special && !quoted) {
            out += '\'';
            quoted = true;
        } else if (!special && quoted) {
            out += '\'';
            quoted = false;
        }
        out += c;
    };
    auto token = [&](const char* t) {
        if (quoted) {
            out += '\'';
            quoted = false;
        }
        out += t;
    };
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 == format.size()) {
            literal(format[i]);
            continue;
        }
        char c = format[++i];
        if ((c == 'E' || c == 'O' || c == '-') && i + 1 < format.size()) // modifiers
            c = format[++i];
        switch (c) {
        case 'd':
            token("dd");
            break;
        case 'e':
            token("d");
            break;
        case 'm':
            token("MM");
            break;
        case 'y':
            token("yy");
            break;
        case 'Y':
            token("yyyy");
            break;
        case 'H':
            token("HH");
            break;
        case 'k':
            token("H");
            break;
        case 'I':
            token("hh");
            break;
        case 'l':
            token("h");
            break;
        case 'M':
            token("mm");
            break;
        case 'S':
            token("ss");
            break;
        case 'p':
        case 'P':
            token("tt");
            break;
        case 'D':
            token("MM/dd/yy");
            break;
        case 'F':
            token("yyyy-MM-dd");
            break;
        case 'T':
            token("HH:mm:ss");
            break;
        case 'R':
            token("HH:mm");
            break;
        case 'r':
            token("hh:mm:ss tt");
            break;
        case '%':
            literal('%');
            break;
        default:
            break; // weekday and month names and the like are left out
        }
    }
    if (quoted)
        out += '\'';
    return out;
}

LocaleFormats LocaleFormats::FromLocaleName(const std::string& name)
{
    LocaleFormats f;
    if (IsUsDefault(name)) {
        f.Known = true;
        return f;
    }
    locale_t loc = ::newlocale(LC_ALL_MASK, name.c_str(), static_cast<locale_t>(nullptr));
    if (!loc)
        return f;
    f.Known = true;
    const std::string radix = ::nl_langinfo_l(RADIXCHAR, loc);
    if (!radix.empty())
        f.DecimalSeparator = radix;
    const std::string date = PatternFromStrftime(::nl_langinfo_l(D_FMT, loc));
    if (!date.empty())
        f.ShortDate = date;
    std::string timeFmt = ::nl_langinfo_l(T_FMT, loc);
    if (timeFmt == "%r")
        timeFmt = ::nl_langinfo_l(T_FMT_AMPM, loc);
    const std::string time = PatternFromStrftime(timeFmt);
    if (!time.empty())
        f.LongTime = time;
    f.AM = ::nl_langinfo_l(AM_STR, loc);
    f.PM = ::nl_langinfo_l(PM_STR, loc);
    ::freelocale(loc);
    return f;
}

LocaleFormats LocaleFormats::FromEnvironment()
{
    LocaleFormats f = FromLocaleName(EnvLocale("LC_TIME"));
    f.DecimalSeparator = FromLocaleName(EnvLocale("LC_NUMERIC")).DecimalSeparator;
    return f;
}

std::string FormatDateTime(const std::tm& t, const std::string& pattern, const LocaleFormats& formats)
{
    std::string out;
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        if (c == '\'') {
            const std::size_t end = pattern.find('\'', i + 1);
            const std::size_t stop = end == std::string::npos ? pattern.size() : end;
            out += pattern.substr(i + 1, stop - i - 1);
            i = stop + 1;
            continue;
        }
        std::size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        const int hour12 = t.tm_hour % 12 == 0 ? 12 : t.tm_hour % 12;
        switch (c) {
        case 'd':
            out += run >= 2 ? Pad2(t.tm_mday) : std::to_string(t.tm_mday);
            break;
        case 'M':
            out += run >= 2 ? Pad2(t.tm_mon + 1) : std::to_string(t.tm_mon + 1);
            break;
        case 'y':
            out += run >= 3 ? std::to_string(t.tm_year + 1900) : Pad2((t.tm_year + 1900) % 100);
            break;
        case 'h':
            out += run >= 2 ? Pad2(hour12) : std::to_string(hour12);
            break;
        case 'H':
            out += run >= 2 ? Pad2(t.tm_hour) : std::to_string(t.tm_hour);
            break;
        case 'm':
            out += run >= 2 ? Pad2(t.tm_min) : std::to_string(t.tm_min);
            break;
        case 's':
            out += run >= 2 ? Pad2(t.tm_sec) : std::to_string(t.tm_sec);
            break;
        case 't': {
            const std::string& mark = t.tm_hour < 12 ? formats.AM : formats.PM;
            out += run >= 2 ? mark : mark.substr(0, 1);
            break;
        }
        default:
            out.append(run, c);
            break;
        }
        i += run;
    }
    // A locale without day-period marks leaves a blank at the end of "h:mm:ss tt".
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

} // namespace pellam

namespace pellam {

std::string TodayText(const LocaleFormats& formats)
{
    std::tm local {};
    if (const char* fixed = std::getenv("PELLAM_TODAY"); fixed && *fixed) {
        // A year-first date is written as the locale writes dates; any other text stands as it is.
        int year = 0, month = 0, day = 0;
        char end = 0;
        if (std::sscanf(fixed, "%4d-%2d-%2d%c", &year, &month, &day, &end) != 3)
            return fixed;
        local.tm_year = year - 1900;
        local.tm_mon = month - 1;
        local.tm_mday = day;
        return FormatDateTime(local, formats.ShortDate, formats);
    }
    const std::time_t now = std::time(nullptr);
    localtime_r(&now, &local);
    return FormatDateTime(local, formats.ShortDate, formats);
}

} // namespace pellam
