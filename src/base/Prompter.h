#pragma once
// Every message box of the program goes through one Prompter, so tests can
// replace the modal dialog by a recorder that never blocks.
#include "base/Message.h"

namespace pellam {

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual void Show(const Message& message) = 0;
    // The short system sound some failures give.
    virtual void Beep() = 0;
};

} // namespace pellam
