#pragma once
// The footer every printed page carries, so that a page taken out of a
// printout still says what it is: the case, the document, the page among
// all pages, when it was printed, by which examiner and with which program.
#include <ctime>
#include <string>

namespace pellam {

// Who printed what, for which case and when.
struct PrintStamp {
    std::string caseNumber;
    std::string document; // the document's name ("Main Log", "Case Report")
    std::string printed; // date and time of the printout
    std::string examiner; // "" when nobody gave a name
};

// The footer's two lines, each with a part at the left and at the right margin.
struct FooterTexts {
    std::string topLeft; // "Case 4711 · Main Log"
    std::string topRight; // "page 3 of 12"
    std::string bottomLeft; // "printed 2026-12-06 09:15 by Ilse Varga"
    std::string bottomRight; // "Pellam 7.54"
};

FooterTexts FooterOf(const PrintStamp& stamp, int page, int pages);

// The moment a printout is made: PELLAM_TODAY (a date, YYYY-MM-DD, or
// m/d/yyyy as record sheets take it) when set,
// so that scripts and tests get the same text every time, else `now` as
// local date and time ("2026-12-06 09:15").
std::string PrintedWhen(std::time_t now);
// The date part of PrintedWhen.
std::string PrintedDate(std::time_t now);

// PELLAM_EXAMINER when it is set; nothing otherwise (then the program's
// settings, or the examiner's answer, give the name).
bool ExaminerFromEnvironment(std::string& name);

} // namespace pellam
