#include "workspace/AttachmentFolder.h"

#include "base/PathText.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

namespace pellam {
namespace {
namespace fs = std::filesystem;

constexpr const char* kListName = "ATCH.lst";

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool IsDirectory(const FolderPath& folder)
{
    std::error_code ec;
    return fs::is_directory(folder.str(), ec);
}

bool HoldsList(const FolderPath& folder)
{
    std::error_code ec;
    return fs::is_regular_file(folder.Join(kListName), ec);
}

// A drive ("C:"), a UNC share ("\\server\...") or a path rooted at "\" is the
// incident system's machine, not this one.
bool IsWindowsPath(const std::string& path)
{
    return (path.size() >= 2 && path[1] == ':') || (!path.empty() && path.front() == '\\');
}

// The named folder as a path of this machine, "\" read as "/": a POSIX path
// as it is, a relative one taken from the evidence folder; none for a Windows
// path or an empty name. Lexically normal.
std::optional<FolderPath> OnThisMachine(const std::string& named, const FolderPath& evidence)
{
    if (named.empty() || IsWindowsPath(named))
        return std::nullopt;
    std::string path = named;
    std::replace(path.begin(), path.end(), '\\', '/');
    if (path.front() != '/')
        path = evidence.Join(path);
    return FolderPath(MakeAbsolute(path));
}

AttachmentFolder Found(AttachmentFolder::Source source, const FolderPath& folder, std::string note = {})
{
    return AttachmentFolder {source, folder, std::move(note)};
}

// What the event file names, for the notes.
std::string NamedText(const std::string& named)
{
    if (std::all_of(named.begin(), named.end(), IsSeparator))
        return "the event file names no attachments folder";
    return "the event file names " + named;
}

} // namespace

std::string WithClosingSeparator(std::string folder)
{
    if (!folder.empty() && IsSeparator(folder.back()))
        return folder;
    const bool posix = folder.find('/') != std::string::npos && folder.find('\\') == std::string::npos;
    folder += posix ? '/' : '\\';
    return folder;
}

std::string LastFolderName(const std::string& folder)
{
    std::size_t end = folder.size();
    while (end > 0 && IsSeparator(folder[end - 1]))
        --end;
    std::size_t begin = end;
    while (begin > 0 && !IsSeparator(folder[begin - 1]))
        --begin;
    const std::string name = folder.substr(begin, end - begin);
    if (name == "." || name == ".." || (begin == 0 && name.size() == 2 && name[1] == ':'))
        return std::string();
    return name;
}

AttachmentFolder ResolveAttachmentFolder(const std::string& named, const FolderPath& evidence)
{
    using Source = AttachmentFolder::Source;
    const auto here = OnThisMachine(named, evidence);
    if (here && IsDirectory(*here) && LiesWithin(evidence.str(), here->str(), true))
        return Found(Source::AsNamed, *here);

    const std::string last = LastFolderName(named);
    std::vector<FolderPath> candidates;
    if (!last.empty())
        candidates.push_back(evidence.Sub(last));
    if (last != "Attachments")
        candidates.push_back(evidence.Sub("Attachments"));
    candidates.push_back(evidence);
    for (const auto& folder : candidates)
        if (HoldsList(folder))
            return Found(Source::InEvidence, folder,
                "Attachments from " + folder.WithSeparator() + " in the evidence folder; " + NamedText(named) + ".");

    if (here && IsDirectory(*here))
        return Found(Source::Outside, *here,
            "Attachments from " + here->WithSeparator() + ", outside the evidence folder, as the event file names it.");

    std::string where = "\"Attachments\"";
    if (!last.empty() && last != "Attachments")
        where = "\"" + last + "\" or " + where;
    const bool unnamed = std::all_of(named.begin(), named.end(), IsSeparator);
    return AttachmentFolder {Source::None, FolderPath(),
        "No attachments list found: " + NamedText(named) + (unnamed ? "" : ", which is not on this machine")
            + ", and the evidence folder holds no \"ATCH.lst\", neither in itself nor in a folder " + where + "."};
}

AttachmentFolder LoadIncidentAttachments(const std::string& named, const FolderPath& evidence, AttachmentList& list)
{
    AttachmentFolder found = ResolveAttachmentFolder(named, evidence);
    if (found.folder.empty())
        return found;
    const auto read = LoadAttachmentList(found.folder, list);
    const std::string told = read ? read.value() : "cannot be read: " + read.error();
    if (!told.empty())
        found.note += (found.note.empty() ? "" : " ") + std::string("\"ATCH.lst\" in ") + found.folder.WithSeparator()
            + " " + told + ".";
    return found;
}

} // namespace pellam
