#include "base/FolderPath.h"

#include <cstdlib>

namespace pellam {

FolderPath::FolderPath(std::string_view path) : m_path(path)
{
    while (m_path.size() > 1 && m_path.back() == '/')
        m_path.pop_back();
}

std::string FolderPath::Join(std::string_view name) const
{
    std::string out = m_path == "/" ? std::string() : m_path;
    out += '/';
    out += name;
    return out;
}

std::string FolderPath::WithSeparator() const
{
    return m_path.empty() || m_path == "/" ? m_path : m_path + '/';
}

namespace {

// The path with links and ".." resolved; a name that does not exist yet
// is kept after its resolved folder.
std::string Resolved(const std::string& path)
{
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        std::string resolved(real);
        std::free(real);
        return resolved;
    }
    const auto slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (folder == path)
        return path;
    std::string parent = Resolved(folder);
    return parent == "/" ? "/" + name : parent + "/" + name;
}

} // namespace

bool LiesInside(const std::string& path, const FolderPath& folder)
{
    if (folder.empty())
        return false;
    const std::string inner = Resolved(path);
    const std::string outer = Resolved(folder.str());
    return inner == outer || inner.starts_with(outer == "/" ? outer : outer + "/");
}

} // namespace pellam
