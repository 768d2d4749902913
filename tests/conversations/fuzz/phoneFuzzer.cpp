// Any text as a phone number: the layout keeps every digit, in order, and
// adds at most the layout's own characters.
#include "support/FuzzInput.h"
#include "conversations/Conversations.h"

#include <algorithm>
#include <cctype>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string shown = pellam::FormatPhone(text);
    const auto digitsOf = [](const std::string& s) {
        std::string d;
        std::copy_if(s.begin(), s.end(), std::back_inserter(d), [](unsigned char c) { return std::isdigit(c); });
        return d;
    };
    const std::string digits = digitsOf(text);
    pellam::fuzz::Require(digitsOf(shown) == digits && shown.size() <= digits.size() + 16, "digits lost or added");
    return 0;
}
