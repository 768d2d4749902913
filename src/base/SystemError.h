#pragma once
// Why something failed, as one value: the system's error number (errno) and
// its text ("No such file or directory"). A failure whose cause is what a
// file holds rather than the system carries number 0 and says what is wrong
// with the content.
#include <string>
#include <utility>

namespace pellam {

struct SystemError {
    int number = 0; // errno, or 0 for a fault of the content
    std::string text;

    SystemError() = default;
    // The error of that number, with the system's text for it.
    explicit SystemError(int errorNumber);
    SystemError(int errorNumber, std::string description) : number(errorNumber), text(std::move(description)) { }

    // The error errno holds now.
    static SystemError Last();
    // A fault of the content, not of the system: number 0.
    static SystemError Content(std::string description) { return SystemError(0, std::move(description)); }

    bool IsContent() const { return number == 0; }
    // The path is not there at all (as opposed to there but unreadable).
    bool Missing() const;

    bool operator==(const SystemError&) const = default;
};

} // namespace pellam
