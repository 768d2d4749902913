#pragma once
// The program's own working folder under the user's data folder; it holds the
// temporary decoded recording. Nothing is ever written into an evidence folder.
#include <string>

namespace pellam {

// Shell folder numbers the program asks for.
inline constexpr int kLocalAppData = 28;

// Path of a special folder, "" on failure. The local application data folder
// is the user's ~/.local/share.
std::string GetSpecialFolder(int folder);

// Establishes `temp` as the data folder followed by "/NorvikTECH-Pellam/",
// creating it (and a missing data folder) when needed; false when it cannot
// be established.
bool MakeTempFolder(std::string& temp);

} // namespace pellam
