#pragma once
// A fresh folder under the system's temporary folder, removed with everything
// in it when the test ends. Tests build their evidence folders here.
#include <filesystem>
#include <string>
#include <string_view>

namespace pellam::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::string str() const { return m_path.string(); }
    // Path of a file inside the folder, as text.
    std::string file(std::string_view name) const { return (m_path / name).string(); }
    // Writes bytes to a file inside the folder (creating subfolders) and returns its path.
    std::string write(std::string_view name, std::string_view bytes) const;

private:
    std::filesystem::path m_path;
};

// Reads a whole file; "" when it cannot be read.
std::string ReadAll(const std::string& path);
// Whether anything is there under that name, a dangling link included.
inline bool Exists(const std::string& path)
{
    return std::filesystem::symlink_status(path).type() != std::filesystem::file_type::not_found;
}

} // namespace pellam::test
