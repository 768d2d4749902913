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
