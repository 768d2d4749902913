#pragma once
// Small text helpers shared by the readers of the incident system's files.
#include <string_view>

namespace pellam {

// The text without the blanks (spaces only) at either end.
constexpr std::string_view Trim(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

} // namespace pellam
