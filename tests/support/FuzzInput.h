#pragma once
// For the harnesses whose reader takes a path: each input is written to a file
// in a folder of this process's own (in memory where /dev/shm exists), which
// goes away when the process ends. Also the common check that fails a run.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <unistd.h>

namespace pellam::fuzz {

inline const std::string& InputFolder()
{
    struct Folder {
        std::string path;
        Folder()
        {
            std::string base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
            std::string pattern = base + "/pellam-fuzz-XXXXXX";
            path = ::mkdtemp(pattern.data()) ? pattern : base;
        }
        ~Folder() { std::filesystem::remove_all(path); }
    };
    static const Folder folder;
    return folder.path;
}

inline std::string InputFile(const std::uint8_t* data, std::size_t size, const std::string& name = "input")
{
    const std::string path = InputFolder() + "/" + name;
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

inline void Require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

} // namespace pellam::fuzz
