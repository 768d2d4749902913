#include "attachments/Examine.h"

#include "base/PathText.h"

#include <filesystem>
#include <system_error>

namespace pellam {
namespace {
namespace fs = std::filesystem;

const char* Reason(int shellResult)
{
    switch (shellResult) {
    case 2:
        return "File not found";
    case 3:
        return "Path not found";
    case 5:
        return "Access denied";
    case 8:
        return "Out of memory";
    case 11:
        return "Invalid EXE file or error in EXE image";
    case 26:
        return "A sharing violation occurred";
    case 27:
        return "Incomplete or invalid file association";
    case 28:
        return "DDE Time out";
    case 29:
        return "DDE transaction failed";
    case 30:
        return "DDE busy";
    case 31:
        return "No association for file extension";
    case 32:
        return "DLL not found";
    default:
        return "Unknown error";
    }
}

} // namespace

std::optional<Message> ExamineMessage(int shellResult, std::string detail)
{
    if (shellResult > 32)
        return std::nullopt;
    return Message {"File Load Error", std::string("Unable to examine file.    ") + kLineBreak + Reason(shellResult),
        MessageIcon::Exclamation, std::move(detail)};
}

int ShellResultOfOpenerStatus(int exitStatus)
{
    switch (exitStatus) {
    case 2:
        return static_cast<int>(ExamineFailure::FileNotFound);
    case 3:
        return static_cast<int>(ExamineFailure::NoAssociation);
    case 4:
        return 27; // "Incomplete or invalid file association"
    default:
        return 0; // "Unknown error"
    }
}

Message NothingSelectedMessage()
{
    return {"ERROR", "ERROR: Nothing Selected to examine.            ", MessageIcon::Critical};
}

Result<std::string, ExamineFailure> FileInFolder(const FolderPath& folder, const std::string& name)
{
    auto path = NameInFolder(folder, name);
    if (!path)
        return fail(ExamineFailure::AccessDenied);
    return std::move(path).value();
}

Result<std::string, ExamineFailure> AttachmentFile(const FolderPath& folder, const std::string& fileName)
{
    // Without a folder the name would be taken from the current folder.
    if (folder.empty())
        return fail(ExamineFailure::PathNotFound);
    auto inSubfolder = FileInFolder(folder.Sub("Attachments"), fileName);
    if (!inSubfolder)
        return inSubfolder;
    std::error_code ec;
    if (fs::exists(inSubfolder.value(), ec))
        return inSubfolder;
    auto besideList = FileInFolder(folder, fileName);
    if (besideList && fs::exists(besideList.value(), ec))
        return besideList;
    return inSubfolder; // named in the messages as the place the file belongs
}

} // namespace pellam
