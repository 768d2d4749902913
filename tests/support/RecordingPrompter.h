#pragma once
// A Prompter for window tests: it records every message and beep instead of
// showing a dialog, so no test ever blocks.
#include "base/Prompter.h"

#include <vector>

namespace pellam::test {

class RecordingPrompter : public Prompter {
public:
    void Show(const Message& message) override { messages.push_back(message); }
    void Beep() override { ++beeps; }

    std::vector<Message> messages;
    int beeps = 0;
};

} // namespace pellam::test
