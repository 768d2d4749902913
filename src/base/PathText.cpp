#include "base/PathText.h"

#include <filesystem>
#include <system_error>

namespace pellam {

std::string BaseName(std::string_view path)
{
    const auto slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string MakeAbsolute(std::string_view path)
{
    if (path.empty())
        return {};
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(std::filesystem::path(path), ec);
    if (ec)
        p = std::filesystem::path(path);
    std::string out = p.lexically_normal().string();
    // "lexically_normal" keeps a trailing separator of a folder; the program's
    // folder values carry none (the root stays "/").
    while (out.size() > 1 && out.back() == '/')
        out.pop_back();
    return out;
}

bool LiesWithin(std::string_view folder, std::string_view inner, bool folderItselfCounts)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path root = fs::weakly_canonical(fs::path(folder), ec);
    if (ec)
        return false;
    const fs::path target = fs::weakly_canonical(fs::path(inner), ec);
    if (ec)
        return false;
    const fs::path rel = target.lexically_relative(root);
    return !rel.empty() && *rel.begin() != ".." && (folderItselfCounts || rel != ".");
}

Result<std::string, NameRefusal> NameInFolder(const FolderPath& folder, std::string_view name)
{
    if (name.empty() || name == "." || name == ".." || name.find_first_of(std::string_view("/\\\0", 3)) != name.npos)
        return fail(NameRefusal::NotAName);
    std::string path = folder.Join(name);
    if (!LiesWithin(folder.str(), path))
        return fail(NameRefusal::LeavesFolder);
    return path;
}

std::string NameRefusalReason(NameRefusal refusal, std::string_view name, const FolderPath& folder)
{
    const std::string quoted = "\"" + std::string(name) + "\"";
    if (refusal == NameRefusal::NotAName)
        return "The name " + quoted + " is not a file name of the folder " + folder.WithSeparator() + ".";
    return "The name " + quoted + " leads out of the folder " + folder.WithSeparator() + ".";
}

} // namespace pellam
