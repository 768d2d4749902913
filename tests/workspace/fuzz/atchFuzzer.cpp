// Any bytes as "ATCH.lst": the list ends, holds at most its ceiling and no
// more entries than the count it read announced.
#include "support/FuzzInput.h"
#include "workspace/SysConfig.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using pellam::fuzz::Require;
    pellam::fuzz::InputFile(data, size, "ATCH.lst");
    pellam::AttachmentList list;
    pellam::LoadAttachmentList(pellam::FolderPath(pellam::fuzz::InputFolder()), list);
    Require(list.entries.size() <= pellam::AttachmentList::kMaxEntries, "more entries than the list holds");
    Require(list.entries.empty() || static_cast<int>(list.entries.size()) <= list.AttachCount,
        "more entries than announced");
    std::size_t bytes = 0;
    for (const auto& e : list.entries)
        bytes += e.Description.size() + e.FileType.size() + e.FileName.size() + e.ApproxSize.size();
    Require(bytes <= 3 * size, "texts longer than the file");
    return 0;
}
