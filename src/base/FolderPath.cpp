#include "base/FolderPath.h"

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

} // namespace pellam
