#pragma once
// The figures of the user's locale that the recording list writes with: the
// decimal separator and the short-date and long-time patterns. Patterns use
// the tokens d dd M MM yy yyyy h hh H HH m mm s ss t tt (text in single quotes
// is literal). Both programs fill it at start-up from the C library's data for
// the user's locale, named by the environment as the C library reads it:
// LC_TIME for dates and times, LC_NUMERIC for the separator, LC_ALL over
// both and LANG under them.
#include <ctime>
#include <string>

namespace pellam {

struct LocaleFormats {
    std::string DecimalSeparator = ".";
    std::string ShortDate = "M/d/yyyy";
    std::string LongTime = "h:mm:ss tt";
    std::string AM = "AM";
    std::string PM = "PM";
    // Built from a locale the system has (false: the defaults stood in).
    bool Known = false;

    // The C/POSIX locale and US English give the defaults above.
    static LocaleFormats FromEnvironment();
    // A locale by name ("de_DE.UTF-8"); the defaults when it is not installed.
    static LocaleFormats FromLocaleName(const std::string& name);
};

// A date pattern of the C library ("%d.%m.%Y") in the tokens above.
std::string PatternFromStrftime(const std::string& format);

// Today's date in the short-date pattern; the environment variable
// PELLAM_TODAY, when set, stands for it (for scripts and tests): a date
// written YYYY-MM-DD in the short-date pattern, any other text as it is.
std::string TodayText(const LocaleFormats& formats);

// Writes a broken-down local time by a pattern.
std::string FormatDateTime(const std::tm& t, const std::string& pattern, const LocaleFormats& formats);

} // namespace pellam
