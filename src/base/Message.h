#pragma once
// A message box as a value: logic returns it, a window shows it through its
// Prompter. Title and text are exactly what the operator reads.
#include <string>

namespace pellam {

enum class MessageIcon { None, Critical, Question, Exclamation, Information };

struct Message {
    std::string title;
    std::string text;
    MessageIcon icon = MessageIcon::None;
    // Which file and what the system said, behind the box's "Show Details";
    // kept apart so a text the operator knows stays word for word.
    std::string detail {};

    bool operator==(const Message&) const = default;
};

// A message box's first line and its detail line are joined by CR LF.
inline constexpr const char* kLineBreak = "\r\n";

} // namespace pellam
