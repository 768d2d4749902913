#pragma once
// The program's own working folder under the user's data folder; it holds the
// decoded recordings of this session ("TMP-<pid>-<n>.WAV"), named per running
// copy of the program so that two copies never touch each other's files. Nothing is ever written
// into an evidence folder.
#include "base/FolderPath.h"
#include "base/Result.h"
#include "base/SystemError.h"

#include <functional>
#include <string>

namespace pellam {

// Shell folder numbers the program asks for.
inline constexpr int kLocalAppData = 28;

// Path of a special folder, "" on failure. The local application data folder
// is the user's ~/.local/share.
std::string GetSpecialFolder(int folder);

// The working folder's path, "NorvikTECH-Pellam" in the data folder, whether
// or not it is there yet.
FolderPath OwnFolderPath();

// Establishes the working folder, "NorvikTECH-Pellam" in the data folder,
// creating it (and a missing data folder) when needed,
// or gives why it cannot be established. Decoded recordings left there by
// copies of the program that no longer run are deleted.
Result<FolderPath, SystemError> MakeTempFolder();

// A decoded recording of process pid in the working folder: "TMP-<pid>-<serial>.WAV".
std::string TempWavName(int pid, int serial);
// The process id in a name of that pattern; 0 for any other name.
int TempWavOwner(const std::string& name);

// Whether a process with this id exists (/proc/<pid>).
bool ProcessExists(int pid);

// Deletes the decoded recordings in folder whose process is gone; other
// files, and those of running processes, stay. Returns how many were deleted.
int RemoveStaleTempWavs(const FolderPath& folder, const std::function<bool(int pid)>& exists = ProcessExists);

} // namespace pellam
