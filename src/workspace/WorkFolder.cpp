#include "workspace/WorkFolder.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
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

bool MakeTempFolder(std::string& temp)
{
    const std::string data = GetSpecialFolder(kLocalAppData);
    temp = data + "/NorvikTECH-Pellam/";
    // A fresh account may not have ~/.local/share yet (the Windows data folder
    // always exists); create it as the desktop's own programs would.
    if (!data.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(data, ec);
    }
    struct stat st { };
    if (::stat(temp.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    return ::mkdir(temp.c_str(), 0700) == 0;
}

} // namespace pellam
