#include "records/RecordWriter.h"

#include "base/Cp1252.h"
#include "base/FileDescriptor.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pellam {

namespace {

bool Write(RecordTable& table, const std::string& path, bool withTrailer)
{
    const std::int32_t L = clsRecord::SlotLength(table);
    table.Header(0) = std::to_string(L);
    if (L - 50 > 0xFFFF)
        return false; // a text longer than a length word can count
    if (withTrailer)
        table.Trailer() = clsRecord::TrailerText();

    int counts[clsRecord::kWrittenRoles] = {};
    for (int k = 0; k < clsRecord::kWrittenRoles; ++k) {
        const auto count = clsRecord::PersonCount(table, k);
        if (!count)
            return false;
        counts[k] = *count;
    }

    // An existing file is written over in place, not shortened.
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
    if (fd.get() < 0)
        return false;

    std::vector<char> slot(static_cast<std::size_t>(L));
    auto put = [&](const std::string& text) {
        const std::string bytes = EncodeCp1252(text);
        if (bytes.size() > static_cast<std::size_t>(L - 2) || bytes.size() > 0xFFFF)
            return false;
        std::fill(slot.begin(), slot.end(), '\0');
        slot[0] = static_cast<char>(bytes.size() & 0xFF);
        slot[1] = static_cast<char>(bytes.size() >> 8);
        std::memcpy(slot.data() + 2, bytes.data(), bytes.size());
        return fd.WriteAll(slot.data(), slot.size());
    };

    for (int i = 0; i < clsRecord::kHeaderSlots; ++i)
        if (!put(table.Header(i)))
            return false;
    for (int k = 0; k < clsRecord::kWrittenRoles; ++k)
        for (int r = 1; r <= counts[k]; ++r)
            for (int page = 1; page <= 3; ++page)
                for (int field = 0; field < RecordTable::kFields; ++field)
                    if (!put(table(k, r, page, field)))
                        return false;
    if (withTrailer && !put(table.Trailer()))
        return false;
    return fd.Close();
}

} // namespace

bool RecordSave(const clsRecord& store, RecordTable& table)
{
    return Write(table, store.RecordPath(), true);
}

bool RECORDSAVEBAK(const clsRecord& store, RecordTable& table)
{
    const auto path = store.BackupPath();
    return path && Write(table, *path, false);
}

bool StoreData(const clsRecord& store, const std::string& iFile)
{
    const std::string& path_ = store.RecordPath();
    if (path_.size() >= 2) {
        const auto slash = path_.rfind('/', path_.size() - 2);
        if (slash != std::string::npos)
            CheckDir(path_.substr(0, slash + 1));
    }
    struct stat st { };
    if (::lstat(path_.c_str(), &st) == 0 && ::unlink(path_.c_str()) != 0)
        return false;
    FileDescriptor fd(::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (fd.get() < 0)
        return false;
    const std::string bytes = EncodeCp1252(iFile);
    return fd.WriteAll(bytes.data(), bytes.size()) && fd.Close();
}

void CheckDir(const std::string& path)
{
    if (path.empty() || path.front() != '/')
        return;
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        struct stat st { };
        if (::stat(prefix.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            continue;
        ::mkdir(prefix.c_str(), 0777); // a failure shows when the file is written
    }
}

} // namespace pellam
