#include "workbench/LocalTime.h"

#include <cstdio>

namespace pellam {
namespace {

// Days from 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

struct Civil {
    std::int64_t year;
    unsigned month, day;
};

Civil CivilFromDays(std::int64_t z)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2), m, d};
}

bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// One to `most` digits at `p`; advances p.
std::optional<int> Digits(std::u16string_view text, std::size_t& p, std::size_t least, std::size_t most)
{
    std::size_t n = 0;
    int value = 0;
    while (n < most && p + n < text.size() && IsDigit(text[p + n])) {
        value = value * 10 + (text[p + n] - u'0');
        ++n;
    }
    if (n < least)
        return std::nullopt;
    p += n;
    return value;
}

bool Take(std::u16string_view text, std::size_t& p, char16_t c)
{
    if (p < text.size() && text[p] == c) {
        ++p;
        return true;
    }
    return false;
}

std::u16string Widen(std::string_view text)
{
    return std::u16string(text.begin(), text.end());
}

} // namespace

std::optional<LocalSeconds> MakeLocalSeconds(int year, int month, int day, int hour, int minute, int second)
{
    static constexpr int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1)
        return std::nullopt;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (day > kMonthDays[month - 1] + (month == 2 && leap ? 1 : 0))
        return std::nullopt;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    return DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400 + hour * 3600
        + minute * 60 + second;
}

std::string IsoText(LocalSeconds t)
{
    std::int64_t days = t / 86400;
    std::int64_t rest = t % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    const Civil c = CivilFromDays(days);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04lld-%02u-%02uT%02lld:%02lld:%02lld", static_cast<long long>(c.year),
        c.month, c.day, static_cast<long long>(rest / 3600), static_cast<long long>(rest / 60 % 60),
        static_cast<long long>(rest % 60));
    return buffer;
}

std::optional<std::int32_t> ReadTimeOfDay(std::u16string_view text, std::size_t& used)
{
    std::size_t p = 0;
    const auto hour = Digits(text, p, 1, 2);
    if (!hour || !Take(text, p, u':'))
        return std::nullopt;
    const auto minute = Digits(text, p, 2, 2);
    if (!minute)
        return std::nullopt;
    int second = 0;
    if (std::size_t q = p; Take(text, q, u':')) {
        const auto s = Digits(text, q, 2, 2);
        if (!s)
            return std::nullopt;
        second = *s;
        p = q;
    }
    if (p < text.size() && IsDigit(text[p]))
        return std::nullopt;
    int h = *hour;
    if (p + 3 <= text.size() && text[p] == u' ') {
        const char16_t a = text[p + 1] | 0x20, m = text[p + 2] | 0x20;
        const bool ends = p + 3 == text.size() || !((text[p + 3] | 0x20) >= u'a' && (text[p + 3] | 0x20) <= u'z');
        if ((a == u'a' || a == u'p') && m == u'm' && ends) {
            if (h < 1 || h > 12)
                return std::nullopt;
            h = h % 12 + (a == u'p' ? 12 : 0);
            p += 3;
        }
    }
    if (h > 23 || *minute > 59 || second > 59)
        return std::nullopt;
    used = p;
    return h * 3600 + *minute * 60 + second;
}

std::optional<LocalSeconds> ReadShortDate(std::u16string_view text, std::size_t& used)
{
    std::size_t p = 0;
    const auto month = Digits(text, p, 1, 2);
    if (!month || !Take(text, p, u'/'))
        return std::nullopt;
    const auto day = Digits(text, p, 1, 2);
    if (!day || !Take(text, p, u'/'))
        return std::nullopt;
    const auto year = Digits(text, p, 4, 4);
    if (!year || (p < text.size() && IsDigit(text[p])))
        return std::nullopt;
    const auto moment = MakeLocalSeconds(*year, *month, *day, 0, 0, 0);
    if (moment)
        used = p;
    return moment;
}

std::optional<LocalSeconds> ReadShortDate(std::string_view text)
{
    const std::u16string wide = Widen(text);
    std::size_t used = 0;
    const auto date = ReadShortDate(wide, used);
    return date && used == wide.size() ? date : std::nullopt;
}

std::optional<LocalSeconds> EventFileMoment(std::string_view date, std::string_view time)
{
    const auto day = ReadShortDate(date);
    if (!day)
        return std::nullopt;
    const std::u16string wide = Widen(time);
    if (wide.size() == 4 && IsDigit(wide[0]) && IsDigit(wide[1]) && IsDigit(wide[2]) && IsDigit(wide[3])) {
        const int h = (wide[0] - u'0') * 10 + (wide[1] - u'0'), m = (wide[2] - u'0') * 10 + (wide[3] - u'0');
        if (h > 23 || m > 59)
            return std::nullopt;
        return *day + h * 3600 + m * 60;
    }
    std::size_t used = 0;
    const auto seconds = ReadTimeOfDay(wide, used);
    if (!seconds || used != wide.size())
        return std::nullopt;
    return *day + *seconds;
}

LocalSeconds FromFileTime(std::time_t t)
{
    std::tm local {};
    localtime_r(&t, &local);
    return DaysFromCivil(
               local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1), static_cast<unsigned>(local.tm_mday))
        * 86400
        + local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
}

} // namespace pellam
