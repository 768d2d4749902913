#include "checksums/HashManifest.h"

#include "base/Cp1252.h"
#include "base/FileDescriptor.h"
#include "base/Version.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pellam {
namespace {

std::int64_t ModifiedNs(const struct stat& st)
{
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
}

std::string NotRegular(mode_t mode)
{
    const char* kind = S_ISFIFO(mode) ? "a named pipe"
        : S_ISSOCK(mode)              ? "a socket"
        : S_ISCHR(mode)               ? "a character device"
        : S_ISBLK(mode)               ? "a block device"
                                      : "of an unknown kind";
    return std::string("not a regular file (") + kind + ")";
}

// Lists the open folder `dirFd` (taken over) as `relative` into `out`.
void ListInto(int dirFd, const std::string& relative, FolderFiles& out)
{
    DIR* dir = ::fdopendir(dirFd);
    if (!dir) {
        out.problems.push_back({relative, SystemError::Last()});
        ::close(dirFd);
        return;
    }
    std::vector<std::string> names;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry) {
            if (errno != 0)
                out.problems.push_back({relative, SystemError::Last()});
            break;
        }
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    for (const std::string& name : names) {
        const std::string path = relative.empty() ? name : relative + "/" + name;
        struct stat st { };
        if (::fstatat(::dirfd(dir), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            out.problems.push_back({path, SystemError::Last()});
        } else if (S_ISREG(st.st_mode)) {
            out.files.push_back({path, static_cast<std::uint64_t>(st.st_size), ModifiedNs(st)});
        } else if (S_ISDIR(st.st_mode)) {
            const int sub = ::openat(::dirfd(dir), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (sub < 0)
                out.problems.push_back({path, SystemError::Last()});
            else
                ListInto(sub, path, out);
        } else if (S_ISLNK(st.st_mode)) {
            out.links.push_back(path);
        } else {
            out.problems.push_back({path, SystemError::Content(NotRegular(st.st_mode))});
        }
    }
    ::closedir(dir);
}

// Byte order: strings compare their chars as unsigned bytes.
constexpr auto kByPath = [](const auto& a, const auto& b) { return a.path < b.path; };

// The sums of one listed file; its size and time become those of the file read.
Result<FileSums, SystemError> HashFile(const std::string& folder, ManifestFile& file, std::stop_token stop)
{
    // A file that became a link since it was listed is not followed.
    const auto fd = FileDescriptor::OpenForReading(folder + "/" + file.path, false);
    if (!fd)
        return fail(fd.error());
    struct stat st { };
    if (::fstat(fd.value().get(), &st) == 0)
        file.modifiedNs = ModifiedNs(st);
    auto sums = SumsOfDescriptor(fd.value(), stop);
    if (sums)
        file.size = sums.value().size;
    return sums;
}

void AppendXmlText(std::string& out, std::string_view utf8)
{
    ForEachCodePoint(utf8, [&](char32_t cp, std::string_view piece) {
        switch (cp) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\t':
        case '\n':
        case '\r':
            out += "&#" + std::to_string(static_cast<int>(cp)) + ";";
            break;
        default:
            // Other controls have no place in XML 1.0, not even as references.
            if (cp < 0x20 || cp == 0xFFFE || cp == 0xFFFF || cp == kNotACodePoint)
                out += "\xEF\xBF\xBD";
            else
                out += piece;
        }
    });
}

bool IsUtf8(std::string_view bytes)
{
    bool valid = true;
    ForEachCodePoint(bytes, [&](char32_t cp, std::string_view) { valid = valid && cp != kNotACodePoint; });
    return valid;
}

std::string UtcText(std::int64_t ns)
{
    std::int64_t seconds = ns / 1'000'000'000;
    std::int64_t fraction = ns % 1'000'000'000;
    if (fraction < 0) {
        fraction += 1'000'000'000;
        --seconds;
    }
    const auto t = static_cast<std::time_t>(seconds);
    std::tm tm {};
    ::gmtime_r(&t, &tm);
    char text[64];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &tm);
    std::string out = text;
    if (fraction != 0) {
        char digits[16];
        std::snprintf(digits, sizeof digits, ".%09lld", static_cast<long long>(fraction));
        std::string f = digits;
        f.erase(f.find_last_not_of('0') + 1);
        out += f;
    }
    return out + "Z";
}

} // namespace

Result<FolderFiles, SystemError> ListFolderFiles(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return fail(SystemError::Last());
    FolderFiles out;
    ListInto(fd, "", out);
    std::sort(out.files.begin(), out.files.end(), kByPath);
    std::sort(out.problems.begin(), out.problems.end(), kByPath);
    return out;
}

ManifestHashing::ManifestHashing(std::string folder, std::vector<ManifestFile> files, unsigned threads)
    : m_folder(std::move(folder))
{
    m_entries.reserve(files.size());
    for (auto& file : files) {
        m_totalBytes += file.size;
        m_entries.push_back({std::move(file), {}, std::nullopt});
    }
    const std::size_t workers = std::min<std::size_t>(threads, m_entries.size());
    for (std::size_t t = 0; t < workers; ++t)
        m_threads.emplace_back([this] { Run(m_stop.get_token()); });
}

ManifestHashing::~ManifestHashing()
{
    Stop();
    m_threads.clear(); // joins
}

void ManifestHashing::Stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop.request_stop();
    }
    m_changed.notify_all();
}

void ManifestHashing::Run(const std::stop_token& stop)
{
    while (!stop.stop_requested() && Step()) { }
}

bool ManifestHashing::Step()
{
    std::size_t i = 0;
    {
        std::lock_guard lock(m_mutex);
        if (m_stop.stop_requested() || m_next >= m_entries.size())
            return false;
        i = m_next++;
    }
    ManifestEntry& entry = m_entries[i];
    const std::uint64_t listed = entry.file.size;
    auto sums = HashFile(m_folder, entry.file, m_stop.get_token());
    if (sums)
        entry.sums = sums.value();
    else
        entry.error = sums.error();
    {
        std::lock_guard lock(m_mutex);
        ++m_done;
        m_bytesDone += listed;
    }
    m_changed.notify_all();
    return true;
}

bool ManifestHashing::Finished() const
{
    std::lock_guard lock(m_mutex);
    return m_done == m_entries.size() && !m_stop.stop_requested();
}

void ManifestHashing::Wait()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_done == m_entries.size() || m_stop.stop_requested(); });
}

void ManifestHashing::WaitForProgress(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    const std::size_t seen = m_done;
    m_changed.wait_for(
        lock, timeout, [&] { return m_done != seen || m_done == m_entries.size() || m_stop.stop_requested(); });
}

std::size_t ManifestHashing::FilesDone() const
{
    std::lock_guard lock(m_mutex);
    return m_done;
}

std::uint64_t ManifestHashing::BytesDone() const
{
    std::lock_guard lock(m_mutex);
    return m_bytesDone;
}

std::vector<ManifestProblem> AllProblems(
    std::vector<ManifestProblem> listing, const std::vector<ManifestEntry>& entries)
{
    for (const auto& entry : entries)
        if (entry.error)
            listing.push_back({entry.file.path, *entry.error});
    std::stable_sort(listing.begin(), listing.end(), kByPath);
    return listing;
}

Result<Manifest, SystemError> MakeManifest(const std::string& folder, unsigned threads)
{
    auto listed = ListFolderFiles(folder);
    if (!listed)
        return fail(listed.error());
    ManifestHashing hashing(folder, std::move(listed.value().files), threads);
    while (threads == 0 && hashing.Step()) { }
    hashing.Wait();
    return Manifest {hashing.Entries(), AllProblems(std::move(listed.value().problems), hashing.Entries())};
}

std::string Sha256sumText(const std::vector<ManifestEntry>& entries)
{
    std::string out;
    out.reserve(entries.size() * 100);
    for (const auto& entry : entries) {
        if (entry.error)
            continue;
        const std::string& path = entry.file.path;
        const bool escaped = path.find_first_of("\\\n\r") != std::string::npos;
        if (escaped)
            out += '\\';
        out += Sha256Hex(entry.sums.sha256);
        out += "  ";
        if (!escaped) {
            out += path;
        } else {
            for (const char c : path)
                out += c == '\\' ? "\\\\" : c == '\n' ? "\\n" : c == '\r' ? "\\r" : std::string(1, c);
        }
        out += '\n';
    }
    return out;
}

std::string DfxmlText(const std::vector<ManifestEntry>& entries)
{
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<dfxml xmlns=\"http://www.forensicswiki.org/wiki/Category:Digital_Forensics_XML\"\n"
                      "       xmlns:dc=\"http://purl.org/dc/elements/1.1/\" version=\"1.0\">\n"
                      "  <metadata>\n"
                      "    <dc:type>Hash manifest</dc:type>\n"
                      "  </metadata>\n"
                      "  <creator version=\"1.0\">\n"
                      "    <program>Pellam</program>\n"
                      "    <version>";
    out += kAppVersion;
    out += "</version>\n"
           "  </creator>\n";
    for (const auto& entry : entries) {
        const std::string& path = entry.file.path;
        const bool utf8 = IsUtf8(path);
        out += "  <fileobject>\n    <filename";
        out += utf8 ? ">" : " encoding=\"windows-1252\">";
        AppendXmlText(out, utf8 ? path : DecodeCp1252(path));
        out += "</filename>\n    <filesize>" + std::to_string(entry.file.size) + "</filesize>\n";
        out += "    <mtime>" + UtcText(entry.file.modifiedNs) + "</mtime>\n";
        if (entry.error) {
            out += "    <error>";
            AppendXmlText(out, entry.error->text);
            out += "</error>\n";
        } else {
            char crc[16];
            std::snprintf(crc, sizeof crc, "%08x", static_cast<std::uint32_t>(entry.sums.crc32));
            out += "    <hashdigest type=\"sha256\">" + Sha256Hex(entry.sums.sha256) + "</hashdigest>\n";
            out += "    <hashdigest type=\"crc32\">" + std::string(crc) + "</hashdigest>\n";
        }
        out += "  </fileobject>\n";
    }
    return out + "</dfxml>\n";
}

} // namespace pellam
