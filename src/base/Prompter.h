#pragma once
// Every message box of the program goes through one Prompter, so tests can
// replace the modal dialog by a recorder that never blocks.
#include "base/Message.h"

namespace pellam {

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual void Show(const Message& message) = 0;
    // Asks the question `question` (its text ends with the question; icon
    // Question) to be answered Yes or No; true for Yes. No is the default
    // answer, and the only one of a prompter that cannot ask.
    virtual bool Ask(const Message& question)
    {
        Show(question);
        return false;
    }
    // The short system sound some failures give.
    virtual void Beep() = 0;
};

} // namespace pellam
