#pragma once
// Letter case of names as the program compares them: only A-Z and a-z change,
// so bytes of other characters (UTF-8 sequences included) stay as they are.
#include <string>

namespace pellam {

inline char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
inline char AsciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string AsciiLower(std::string s)
{
    for (auto& c : s)
        c = AsciiLower(c);
    return s;
}

inline std::string AsciiUpper(std::string s)
{
    for (auto& c : s)
        c = AsciiUpper(c);
    return s;
}

} // namespace pellam
