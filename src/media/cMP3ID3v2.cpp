#include "media/cMP3ID3v2.h"

#include "base/Cp1252.h"
#include "base/FileDescriptor.h"
#include "base/Text.h"
#include "media/Id3Genres.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace pellam {
namespace {

constexpr std::int64_t kBlockSize = 4096;
constexpr std::int64_t kBlockOverlap = 3; // "ID3" or FF FB across a block edge is still found
constexpr std::int64_t kMaxFrameBytes = 4 << 20;
constexpr int kMaxFrames = 100000;

// A read-only file read at explicit offsets. Reading past the end gives NUL
// bytes for fixed-size fields and nothing for frame bodies, so a tag cut by
// the end of the file reads as if padded with NULs and never allocates more
// than the file holds.
class TagFile {
public:
    static Result<TagFile, SystemError> Open(const std::string& path)
    {
        auto opened = FileDescriptor::OpenForReading(path);
        if (!opened)
            return fail(opened.error());
        return TagFile(std::move(opened).value());
    }

    std::int64_t Size() const { return m_size; }

    // Reads up to `max` bytes at `offset`, no more than the file holds.
    Result<std::string, SystemError> ReadAvailable(std::int64_t offset, std::int64_t max) const
    {
        std::string out;
        if (offset >= m_size || max <= 0)
            return out;
        out.resize(static_cast<std::size_t>(std::min(max, m_size - offset)));
        const std::int64_t got = m_fd.ReadAt(offset, out.data(), out.size());
        if (got < 0)
            return fail(SystemError::Last());
        out.resize(static_cast<std::size_t>(got)); // the file may have shrunk under us
        return out;
    }

    // Reads exactly n bytes into `out`, NUL bytes where the file ends.
    Result<bool, SystemError> ReadFixed(std::int64_t offset, unsigned char* out, std::size_t n) const
    {
        const auto got = ReadAvailable(offset, static_cast<std::int64_t>(n));
        if (!got)
            return fail(got.error());
        std::memset(out, 0, n);
        std::memcpy(out, got->data(), got->size());
        return true;
    }

private:
    explicit TagFile(FileDescriptor fd) : m_fd(std::move(fd)), m_size(m_fd.Size()) { }

    FileDescriptor m_fd;
    std::int64_t m_size = 0;
};

// Searches the file for the tag as blocks of 4096 bytes that overlap by 3.
// Gives the 0-based offset of "ID3", or -1 when an MPEG frame header (FF FB)
// or the end of the file comes first.
Result<std::int64_t, SystemError> FindTag(const TagFile& file)
{
    for (std::int64_t start = 0; start < file.Size(); start += kBlockSize - kBlockOverlap) {
        if (start > INT32_MAX - kBlockSize)
            return -1; // positions are 32-bit
        const auto block = file.ReadAvailable(start, kBlockSize);
        if (!block)
            return fail(block.error());
        const std::string_view view(block.value());
        const auto id3 = view.find("ID3");
        if (id3 != std::string_view::npos)
            return start + static_cast<std::int64_t>(id3);
        if (view.find("\xFF\xFB") != std::string_view::npos)
            return -1;
        if (start + kBlockSize >= file.Size())
            return -1;
    }
    return -1;
}

std::uint32_t BigEndian(const unsigned char* p, int n)
{
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i)
        v = (v << 8) | p[i];
    return v;
}

std::string MapVersion22Id(const std::string& id)
{
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kMap = {{
        {"TP1", "TPE1"},
        {"TT2", "TIT2"},
        {"TAL", "TALB"},
        {"COM", "COMM"},
        {"TRK", "TRCK"},
        {"TEN", "TENC"},
        {"TYE", "TYER"},
        {"TCO", "TCON"},
    }};
    for (const auto& [from, to] : kMap)
        if (id == from)
            return std::string(to);
    return std::string();
}

// The decimal number between the parentheses of a genre text, when it fits a byte.
bool ParseGenreNumber(std::string_view text, std::uint8_t& genre)
{
    text = Trim(text);
    if (text.empty())
        return false;
    int v = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
        if (v > 255)
            return false; // leading zeros are fine, a number past a byte is not
    }
    genre = static_cast<std::uint8_t>(v);
    return true;
}

} // namespace

std::string cMP3ID3v2::GenreName(int genre)
{
    return Id3GenreName(genre);
}

void cMP3ID3v2::Reset()
{
    *this = cMP3ID3v2();
}

Result<bool, SystemError> cMP3ID3v2::SetMP3File(const std::string& path)
{
    Reset();
    m_file = path;

    const auto opened = TagFile::Open(path);
    if (!opened)
        return fail(opened.error());
    const TagFile& file = opened.value();

    const auto found = FindTag(file);
    if (!found)
        return fail(found.error());
    const std::int64_t id3 = found.value();
    if (id3 < 0)
        return false;
    m_tagPosition = static_cast<std::int32_t>(id3 + 3 + 1);

    // Header after "ID3": version, revision, flags, size (7 bits per byte).
    std::int64_t pos = id3 + 3;
    unsigned char header[7];
    if (const auto read = file.ReadFixed(pos, header, sizeof header); !read)
        return fail(read.error());
    m_version = header[0];
    if (m_version < 2 || m_version > 4)
        return true;
    std::int64_t tagSize = 0;
    for (int i = 3; i < 7; ++i)
        tagSize = (tagSize << 7) | (header[i] & 0x7F);
    pos += 7;

    const bool v22 = m_version == 2;
    const std::int64_t headerLen = v22 ? 6 : 10;
    const std::size_t idLen = v22 ? 3 : 4;
    std::int64_t count = 0;
    // A tag may claim 256 MiB: frames past kMaxFrames are not read, and a
    // frame's value is read no further than kMaxFrameBytes.
    for (int frames = 0; frames < kMaxFrames; ++frames) {
        unsigned char fh[10];
        if (const auto read = file.ReadFixed(pos, fh, static_cast<std::size_t>(headerLen)); !read)
            return fail(read.error());
        pos += headerLen;
        if (std::all_of(fh, fh + idLen, [](unsigned char b) { return b == 0; }))
            break; // padding
        const std::int64_t size = v22 ? BigEndian(fh + 3, 3) : BigEndian(fh + 4, 4);
        count += headerLen;
        if (count + size > tagSize)
            break; // the frame would run past the tag
        count += size;
        auto read = file.ReadAvailable(pos, std::min(size, kMaxFrameBytes));
        if (!read)
            return fail(read.error());
        std::string body = std::move(read).value();
        pos += size;

        std::string id = DecodeCp1252(std::string_view(reinterpret_cast<const char*>(fh), idLen));
        if (v22)
            id = MapVersion22Id(id);
        body.erase(std::remove(body.begin(), body.end(), '\0'), body.end());
        StoreFrame(id, DecodeCp1252(body));

        if (pos + 1 > tagSize) // the 1-based file position against the tag size
            break;
    }
    return true;
}

void cMP3ID3v2::StoreFrame(const std::string& id, const std::string& value)
{
    auto [it, added] = m_counts.try_emplace(id, 0);
    if (added)
        m_frames.push_back(id);
    const std::int32_t n = ++it->second;
    m_values[std::to_string(n) + ":" + id] = value;

    if (id == "COMM") {
        if (n == 1)
            m_comment = value;
        else
            m_comment += std::string(1, '\0') + "\r\n" + value;
        return;
    }
    if (id == "TCON") {
        StoreGenre(value);
        return;
    }
    static const std::map<std::string_view, std::string cMP3ID3v2::*> kProperties = {
        {"TIT2", &cMP3ID3v2::m_title},
        {"TPE1", &cMP3ID3v2::m_artist},
        {"TALB", &cMP3ID3v2::m_album},
        {"TYER", &cMP3ID3v2::m_year},
        {"TRCK", &cMP3ID3v2::m_track},
        {"USLT", &cMP3ID3v2::m_lyrics},
        {"TENC", &cMP3ID3v2::m_encodedBy},
        {"TCOP", &cMP3ID3v2::m_copyright},
        {"TCOM", &cMP3ID3v2::m_composer},
        {"TOPE", &cMP3ID3v2::m_originalArtist},
        {"WXXX", &cMP3ID3v2::m_linkTo},
        {"PCNT", &cMP3ID3v2::m_playCounter},
        {"WOAF", &cMP3ID3v2::m_audioUrl},
        {"WOAR", &cMP3ID3v2::m_artistUrl},
        {"WCOM", &cMP3ID3v2::m_buyUrl},
    };
    const auto prop = kProperties.find(id);
    if (prop != kProperties.end())
        this->*(prop->second) = value;
}

// "(17)" and "(17)x" name genre 17 by number; "(17)Rock and Roll" carries its
// own name; anything without a readable number is a free genre text.
void cMP3ID3v2::StoreGenre(const std::string& value)
{
    const auto open = value.find('(');
    const auto close = open == std::string::npos ? std::string::npos : value.find(')', open + 1);
    std::uint8_t genre = 0;
    if (close == std::string::npos
        || !ParseGenreNumber(std::string_view(value).substr(open + 1, close - open - 1), genre)) {
        m_otherGenreName = value;
        return;
    }
    m_genre = genre;
    const std::string after = value.substr(close + 1);
    m_otherGenreName = Utf8Length(after) <= 1 ? GenreName(genre) : after;
}

std::string cMP3ID3v2::Frame(std::int32_t index) const
{
    if (index < 1 || index > FrameCount())
        return std::string();
    return m_frames[static_cast<std::size_t>(index - 1)];
}

std::int32_t cMP3ID3v2::TagsInFrame(const std::string& id) const
{
    const auto it = m_counts.find(id);
    return it == m_counts.end() ? 0 : it->second;
}

std::string cMP3ID3v2::FrameValue(const std::string& key) const
{
    const auto it = m_values.find(key);
    return it == m_values.end() ? std::string() : it->second;
}

} // namespace pellam
