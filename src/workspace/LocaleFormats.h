#pragma once
// The figures of the user's locale that the recording list writes with: the
// decimal separator and the short-date and long-time patterns. Patterns use
// the tokens d dd M MM yy yyyy h hh H HH m mm s ss t tt (text in single quotes
// is literal). The desktop program may fill this from its toolkit's locale;
// without one it is built from the process environment.
#include <ctime>
#include <string>

namespace pellam {

struct LocaleFormats {
    std::string DecimalSeparator = ".";
    std::string ShortDate = "M/d/yyyy";
    std::string LongTime = "h:mm:ss tt";
    std::string AM = "AM";
    std::string PM = "PM";

    // The C/POSIX locale and US English give the defaults above.
    static LocaleFormats FromEnvironment();
    // A locale by name ("de_DE.UTF-8"); the defaults when it is not installed.
    static LocaleFormats FromLocaleName(const std::string& name);
};

// A date pattern of the C library ("%d.%m.%Y") in the tokens above.
std::string PatternFromStrftime(const std::string& format);

// Writes a broken-down local time by a pattern.
std::string FormatDateTime(const std::tm& t, const std::string& pattern, const LocaleFormats& formats);

} // namespace pellam
