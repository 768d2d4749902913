#include "workspace/WorkFolder.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace pellam {

std::string GetSpecialFolder(int folder)
{
    if (folder != kLocalAppData)
        return std::string();
    std::string home;
    if (const char* h = std::getenv("HOME"); h && *h)
        home = h;
    else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        home = pw->pw_dir;
    if (home.empty())
        return std::string();
    if (home.size() > 1 && home.back() == '/')
        home.pop_back();
    return home + "/.local/share";
}

FolderPath OwnFolderPath()
{
    return FolderPath(GetSpecialFolder(kLocalAppData) + "/NorvikTECH-Pellam");
}

Result<FolderPath, SystemError> MakeTempFolder()
{
    const std::string data = GetSpecialFolder(kLocalAppData);
    const FolderPath temp = OwnFolderPath();
    // A fresh account may not have ~/.local/share yet (the Windows data folder
    // always exists); create it as the desktop's own programs would.
    if (!data.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(data, ec);
    }
    struct stat st { };
    if (::stat(temp.str().c_str(), &st) == 0) {
        if (!S_ISDIR(st.st_mode))
            return fail(SystemError(ENOTDIR));
        RemoveStaleTempWavs(temp);
        return temp;
    }
    if (::mkdir(temp.str().c_str(), 0700) != 0)
        return fail(SystemError::Last());
    return temp;
}

namespace {
constexpr std::string_view kTempPrefix = "TMP-";
constexpr std::string_view kTempSuffix = ".WAV";
} // namespace

std::string TempWavName(int pid, int serial)
{
    return std::string(kTempPrefix) + std::to_string(pid) + "-" + std::to_string(serial) + std::string(kTempSuffix);
}

namespace {

// A decimal number without a leading zero of at most maxDigits digits; -1 for anything else.
int Number(std::string_view digits, std::size_t maxDigits)
{
    if (digits.empty() || digits.size() > maxDigits || (digits.front() == '0' && digits.size() > 1))
        return -1;
    int n = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

} // namespace

int TempWavOwner(const std::string& name)
{
    if (!name.starts_with(kTempPrefix) || !name.ends_with(kTempSuffix))
        return 0;
    const std::string_view middle
        = std::string_view(name).substr(kTempPrefix.size(), name.size() - kTempPrefix.size() - kTempSuffix.size());
    const std::size_t dash = middle.find('-');
    if (dash == std::string_view::npos || Number(middle.substr(dash + 1), 9) < 0)
        return 0;
    // Process ids are at most 2^22 on Linux: seven digits.
    const int pid = Number(middle.substr(0, dash), 7);
    return pid > 0 ? pid : 0;
}

bool ProcessExists(int pid)
{
    if (pid <= 0)
        return false;
    struct stat st { };
    return ::stat(("/proc/" + std::to_string(pid)).c_str(), &st) == 0;
}

int RemoveStaleTempWavs(const FolderPath& folder, const std::function<bool(int pid)>& exists)
{
    int removed = 0;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder.str(), ec);
    if (ec)
        return 0;
    for (const auto& entry : it) {
        const int pid = TempWavOwner(entry.path().filename().string());
        if (pid == 0 || exists(pid))
            continue;
        std::error_code ignored;
        if (entry.is_regular_file(ignored) && std::filesystem::remove(entry.path(), ignored))
            ++removed;
    }
    return removed;
}

} // namespace pellam
