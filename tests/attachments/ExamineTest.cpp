#include "attachments/Examine.h"
#include "support/TempDir.h"
#include "workspace/AttachmentFolder.h"

#include <gtest/gtest.h>

using namespace pellam;

TEST(FileInFolder, RefusesNamesThatLeaveTheFolder)
{
    test::TempDir dir;
    const FolderPath folder(dir.str() + "/TextFiles");
    dir.write("TextFiles/IMG 1.jpg", "x");
    dir.write("secret.txt", "x");
    std::filesystem::create_symlink(dir.file("secret.txt"), dir.file("TextFiles/link.txt"));
    EXPECT_EQ(std::tuple(FileInFolder(folder, "IMG 1.jpg").value(), FileInFolder(folder, "gone.jpg").value()),
        std::tuple(folder.Join("IMG 1.jpg"), folder.Join("gone.jpg")));
    for (const char* name :
        {"", ".", "..", "../secret.txt", "../../etc/passwd", "/etc/passwd", "a/b.jpg", "..\\secret.txt", "link.txt"})
        EXPECT_EQ(FileInFolder(folder, name).error(), ExamineFailure::AccessDenied) << name;

    // An attachment lies in the "Attachments" subfolder of its folder, else beside the list.
    dir.write("Att/Attachments/a.pdf", "x");
    dir.write("Att/b.pdf", "x");
    for (const auto& [name, path] :
        {std::pair {"a.pdf", "/Att/Attachments/a.pdf"}, {"b.pdf", "/Att/b.pdf"}, {"c.pdf", "/Att/Attachments/c.pdf"}})
        EXPECT_EQ(AttachmentFile(FolderPath(dir.str() + "/Att/"), name).value(), dir.str() + path);
    EXPECT_EQ(AttachmentFile(FolderPath(dir.str() + "/Att/"), "../Att/b.pdf").error(), ExamineFailure::AccessDenied);
    EXPECT_EQ(AttachmentFile(FolderPath(), "a.pdf").error(), ExamineFailure::PathNotFound) << "no folder was found";

    // A copy whose event file names the original's folder opens its own file.
    test::TempDir copy;
    copy.write("Att/ATCH.lst", "0");
    copy.write("Att/Attachments/a.pdf", "x");
    const FolderPath resolved = ResolveAttachmentFolder(dir.str() + "/Att/", FolderPath(copy.str())).folder;
    EXPECT_EQ(AttachmentFile(resolved, "a.pdf").value(), copy.str() + "/Att/Attachments/a.pdf");
}

TEST(ExamineMessage, NamesTheReasonOfEachShellResultUpTo32)
{
    const std::pair<int, const char*> reasons[] = {{0, "Unknown error"}, {2, "File not found"}, {3, "Path not found"},
        {5, "Access denied"}, {8, "Out of memory"}, {9, "Unknown error"},
        {11, "Invalid EXE file or error in EXE image"}, {26, "A sharing violation occurred"},
        {27, "Incomplete or invalid file association"}, {28, "DDE Time out"}, {29, "DDE transaction failed"},
        {30, "DDE busy"}, {31, "No association for file extension"}, {32, "DLL not found"}};
    for (const auto& [result, reason] : reasons)
        EXPECT_EQ(ExamineMessage(result, "")->text, std::string("Unable to examine file.    \r\n") + reason) << result;
    EXPECT_FALSE(ExamineMessage(33, ""));
    // The desktop opener's exit status: 2 no such file, 3 nothing to open it with, 4 that failed to start.
    EXPECT_EQ(std::tuple(ShellResultOfOpenerStatus(1), ShellResultOfOpenerStatus(2), ShellResultOfOpenerStatus(3),
                  ShellResultOfOpenerStatus(4)),
        std::tuple(0, 2, 31, 27));
}
