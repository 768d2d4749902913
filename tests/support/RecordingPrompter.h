#pragma once
// A Prompter for window tests: it records every message, question and beep
// instead of showing a dialog, so no test ever blocks; questions get `answer`.
#include "base/Prompter.h"

#include <vector>

namespace pellam::test {

class RecordingPrompter : public Prompter {
public:
    void Show(const Message& message) override { messages.push_back(message); }
    void Beep() override { ++beeps; }
    bool Ask(const Message& question) override
    {
        questions.push_back(question);
        return answer;
    }

    std::vector<Message> messages;
    std::vector<Message> questions;
    bool answer = false; // to every question
    int beeps = 0;
};

} // namespace pellam::test
