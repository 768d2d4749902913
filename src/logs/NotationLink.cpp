#include "logs/NotationLink.h"

#include "richtext/RichDocument.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace pellam {
namespace {

using namespace std::string_view_literals;

// The text of [from, to), clamped to the document: a window reaching past
// either end is shorter, so it never equals a full-length pattern.
std::u16string_view Window(std::u16string_view text, std::int64_t from, std::int64_t to)
{
    from = std::clamp<std::int64_t>(from, 0, static_cast<std::int64_t>(text.size()));
    to = std::clamp<std::int64_t>(to, from, static_cast<std::int64_t>(text.size()));
    return text.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
}

// The last characters are compared first: the scans call this at every step
// and it is seldom true.
inline bool WindowIs(std::u16string_view text, std::int64_t from, std::int64_t to, std::u16string_view pattern)
{
    const auto w = Window(text, from, to);
    return w.size() == pattern.size() && (w.empty() || w.back() == pattern.back()) && w == pattern;
}

std::optional<char16_t> CharAt(std::u16string_view text, std::int64_t p)
{
    if (p < 0 || p >= static_cast<std::int64_t>(text.size()))
        return std::nullopt;
    return text[static_cast<std::size_t>(p)];
}

char16_t FoldCase(char16_t c)
{
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<char16_t>(c + 32);
    return c;
}

// The leading decimal digits of a text as a number (0 when there are none).
std::int32_t LeadingNumber(std::string_view s)
{
    std::int32_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9' || v > 100000)
            break;
        v = v * 10 + (c - '0');
    }
    return v;
}

// The incident system's four recording labels, as the Main Log writes them
// before a recording's file name.
constexpr std::array<std::u16string_view, 4> kRecordingLabels
    = {u"Recording MP3 File:", u"Forced Sub Recording:", u"Recording Covert MIC File:", u"Started Sub Recording File"};

// The scan back from a notation knows a label by its last 19 characters.
constexpr std::size_t kLabelEndLength = 19;

std::u16string_view LabelEnd(std::u16string_view label)
{
    return label.substr(label.size() - kLabelEndLength);
}

// Whether the label end finishing at q is there (the window [q - 18, q]).
bool IsLabelEndAt(std::u16string_view text, std::int64_t q)
{
    const auto w = Window(text, q - static_cast<std::int64_t>(kLabelEndLength) + 1, q + 1);
    return std::any_of(
        kRecordingLabels.begin(), kRecordingLabels.end(), [&](std::u16string_view l) { return LabelEnd(l) == w; });
}

// Where FindLineStart ends once it found the separator ending at p: near the
// top of the log it steps past what is not yet a header character.
std::int32_t StepIntoHeader(std::u16string_view text, std::int64_t p)
{
    if (p < 305) {
        for (int n = 0; n < 10; ++n) {
            ++p;
            const auto c = CharAt(text, p);
            if (c && *c > 47)
                break;
        }
    }
    return static_cast<std::int32_t>(p);
}

// The positions LandedNOTE's scan back for a recording label visits from q:
// from q down to 50, at most 5000 of them, and q alone when q is 50 or less.
std::int64_t LabelScanFloor(std::int64_t q)
{
    return q > 50 ? std::max<std::int64_t>(q - 4999, 50) : q;
}

// LandedNOTE with the search for the recording label given: `labelAt(q)`
// is the last position from q down to LabelScanFloor(q) where a label ends.
template<typename LabelAt>
LandedNote LandNote(std::u16string_view text, std::int32_t noteScanPos, LabelAt labelAt)
{
    LandedNote note;
    std::int64_t p = noteScanPos;
    bool atNotation = false;
    for (int step = 0; step < 501; ++step) {
        if (WindowIs(text, p - 10, p + 1, u"-----------"sv))
            return note; // in a separator, or past the notation
        if (WindowIs(text, p - 10, p + 1, u"Notation By"sv)) {
            atNotation = true;
            break;
        }
        if (p <= 50)
            break;
        --p;
    }
    [&] {
        if (!atNotation)
            return;
        std::int64_t h = p - 10;
        if (WindowIs(text, h - 7, h + 11, u"Remote Notation By"sv))
            h -= 7;
        if (CharAt(text, h - 2) != u')')
            return;
        const std::string time = ToUtf8(Window(text, h - 7, h - 2));
        const std::optional<std::int64_t> q = labelAt(h - 29);
        if (!q)
            return;
        const std::int64_t n = *q + 2;
        for (int i = 1; i <= 30; ++i) {
            if (WindowIs(text, n + i, n + i + 4, u".mp3"sv)) {
                note.NoteAudioMP3 = ToUtf8(Window(text, n, n + i + 4));
                note.NoteAudioTime = time;
                note.NoteAudioFound = true;
                return;
            }
        }
    }();
    if (note.NoteAudioFound) {
        const auto colon = note.NoteAudioTime.find(':');
        const std::string minutes = note.NoteAudioTime.substr(0, colon);
        const std::string seconds = colon == std::string::npos ? std::string() : note.NoteAudioTime.substr(colon + 1);
        if (minutes != "00")
            note.NoteAudioStart = LeadingNumber(minutes) * 60;
        note.NoteAudioStart += LeadingNumber(seconds);
    }
    return note;
}

// How often a character is met in a log, roughly: the scans below look for
// a pattern's rarest character first.
int Commonness(char16_t c)
{
    if (c == u'\n' || c == u'(')
        return 0;
    if (c >= u'A' && c <= u'Z')
        return 1;
    if (c == u':')
        return 2;
    return c == u' ' || (c >= u'a' && c <= u'z') ? 4 : 3;
}

// Every start of `pattern` in `text`, in order. The bytes of the text are
// searched for the low byte of the pattern's rarest character with memchr,
// which reads them many at a time.
template<typename Visit>
void ForEachOccurrence(std::u16string_view text, std::u16string_view pattern, Visit visit)
{
    if (pattern.empty() || text.size() < pattern.size())
        return;
    std::size_t k = 0;
    for (std::size_t i = 1; i < pattern.size(); ++i)
        if (Commonness(pattern[i]) <= Commonness(pattern[k]))
            k = i;
    constexpr std::size_t kLowByte = std::endian::native == std::endian::little ? 0 : 1;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size() * 2;
    for (std::size_t from = 0; from < size;) {
        const void* hit = std::memchr(bytes + from, pattern[k] & 0xFF, size - from);
        if (!hit)
            return;
        const auto b = static_cast<std::size_t>(static_cast<const unsigned char*>(hit) - bytes);
        from = b + 1;
        if (b % 2 != kLowByte)
            continue;
        const std::size_t i = b / 2;
        if (text[i] != pattern[k] || i < k || i - k + pattern.size() > text.size())
            continue;
        if (text.compare(i - k, pattern.size(), pattern) == 0)
            visit(i - k);
    }
}

bool FoldedEqual(std::u16string_view a, std::u16string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return FoldCase(x) == FoldCase(y); });
}

// FNV-1a of a text with letter case folded.
std::uint64_t FoldedKey(std::u16string_view text)
{
    std::uint64_t h = 14695981039346656037ull;
    for (char16_t c : text)
        h = (h ^ FoldCase(c)) * 1099511628211ull;
    return h;
}

} // namespace

std::u16string_view AnnouncedRecording(std::u16string_view line)
{
    for (std::u16string_view label : kRecordingLabels) {
        if (line.size() > label.size() + 1 && line.starts_with(label) && line[label.size()] == u' ') {
            auto name = line.substr(label.size() + 1);
            name = name.substr(0, name.find_first_of(u"\r\n"));
            while (!name.empty() && name.back() == u' ')
                name.remove_suffix(1);
            return name;
        }
    }
    return {};
}

std::int32_t FindLineStart(std::u16string_view text, std::int32_t cp)
{
    if (cp < 11)
        return 0;
    std::int64_t p = cp;
    std::int64_t steps = static_cast<std::int64_t>(cp) - 10;
    // Steps past the end of the text cannot match: they are skipped, so a
    // caret far beyond the text costs no more than one at its end.
    if (const auto size = static_cast<std::int64_t>(text.size()); p > size) {
        steps -= p - size;
        p = size;
    }
    bool found = false;
    for (std::int64_t n = 0; n < steps; ++n) {
        if (WindowIs(text, p - 5, p, u"---\r\n"sv)) {
            found = true;
            break;
        }
        --p;
    }
    return found ? StepIntoHeader(text, p) : 0;
}

std::int32_t FindHeaderEnd(std::u16string_view text, std::int32_t s)
{
    if (s < 1)
        return 0;
    std::int64_t p = static_cast<std::int64_t>(s) + 22;
    for (int n = 0; n < 70; ++n) {
        if (CharAt(text, p - 1) == u':' && CharAt(text, p) == u' ')
            return static_cast<std::int32_t>(p);
        ++p;
    }
    return 0;
}

bool IsNotationHeader(std::u16string_view header)
{
    return header.size() >= 20 && header.find(u" - (") != std::u16string_view::npos;
}

std::optional<std::int32_t> FindHeaderInLog(std::u16string_view text, std::u16string_view header)
{
    if (header.empty() || text.size() < 2)
        return std::nullopt;
    const auto haystack = text.substr(1);
    const auto it = std::search(haystack.begin(), haystack.end(), header.begin(), header.end(),
        [](char16_t a, char16_t b) { return FoldCase(a) == FoldCase(b); });
    if (it == haystack.end())
        return std::nullopt;
    const std::int64_t f = 1 + (it - haystack.begin());
    if (f <= 5)
        return std::nullopt;
    return static_cast<std::int32_t>(f + static_cast<std::int64_t>(header.size()) + 5);
}

LandedNote LandedNOTE(std::u16string_view text, std::int32_t noteScanPos)
{
    return LandNote(text, noteScanPos, [text](std::int64_t q) -> std::optional<std::int64_t> {
        for (const std::int64_t floor = LabelScanFloor(q); q >= floor; --q)
            if (IsLabelEndAt(text, q))
                return q;
        return std::nullopt;
    });
}

std::optional<LandedNote> NotationAtCaret(std::u16string_view text, std::int32_t cp)
{
    const std::int32_t s = FindLineStart(text, cp);
    if (s <= 0)
        return std::nullopt;
    const std::int32_t e = FindHeaderEnd(text, s);
    if (e <= 0)
        return std::nullopt;
    const auto header = Window(text, s, e);
    if (!IsNotationHeader(header))
        return std::nullopt;
    const auto scanPos = FindHeaderInLog(text, header);
    if (!scanPos)
        return std::nullopt;
    LandedNote note = LandedNOTE(text, *scanPos);
    if (!note.NoteAudioFound)
        return std::nullopt;
    return note;
}

std::vector<std::optional<LandedNote>> NotationsAtCarets(
    std::u16string_view text, const std::vector<std::int32_t>& carets)
{
    std::vector<std::optional<LandedNote>> answers(carets.size());

    // FindLineStart: the last separator ending from position 11 to the caret.
    std::vector<std::int64_t> separatorEnds;
    ForEachOccurrence(
        text, u"---\r\n", [&](std::size_t at) { separatorEnds.push_back(static_cast<std::int64_t>(at) + 5); });

    // The notation header each caret lands on. Its key covers the header to
    // a few characters past its " - (", where the elapsed time is: two
    // headers with the same key are seldom met.
    constexpr std::size_t kKeyPast = 12;
    struct Header {
        std::size_t caret = 0;
        std::u16string_view text; // where the caret found it
        std::size_t anchor = 0; // where its first " - (" is
        std::size_t keyLength = 0; // how much of it its key covers
        std::uint64_t key = 0; // of its first keyLength characters, case folded
        std::optional<std::int64_t> first; // its first occurrence from position 1
    };
    std::vector<Header> headers;
    for (std::size_t i = 0; i < carets.size(); ++i) {
        const std::int32_t cp = carets[i];
        if (cp < 11)
            continue;
        const std::int64_t last = std::min<std::int64_t>(cp, static_cast<std::int64_t>(text.size()));
        const auto after = std::upper_bound(separatorEnds.begin(), separatorEnds.end(), last);
        if (after == separatorEnds.begin() || *(after - 1) < 11)
            continue;
        const std::int32_t s = StepIntoHeader(text, *(after - 1));
        const std::int32_t e = FindHeaderEnd(text, s);
        const auto header = Window(text, s, e);
        if (e <= 0 || !IsNotationHeader(header))
            continue;
        const std::size_t anchor = header.find(u" - (");
        const std::size_t keyLength = std::min(header.size(), anchor + kKeyPast);
        headers.push_back({i, header, anchor, keyLength, FoldedKey(header.substr(0, keyLength)), std::nullopt});
    }
    if (headers.empty())
        return answers;

    // FindHeaderInLog for all headers in one pass: every occurrence of a
    // header holds its " - (" (no character folds to those four), so only
    // the places of " - (" in the log are tried, in order, and the first
    // match of a header is its first occurrence. The headers are looked up
    // by the key of what comes before, grouped by the key's top bits.
    int bits = 1;
    while ((std::size_t {1} << bits) < headers.size() && bits < 24)
        ++bits;
    const auto bucketOf = [bits](std::uint64_t key) { return static_cast<std::size_t>(key >> (64 - bits)); };
    std::vector<std::size_t> bucketStart((std::size_t {1} << bits) + 1, 0);
    for (const Header& h : headers)
        ++bucketStart[bucketOf(h.key) + 1];
    for (std::size_t b = 1; b < bucketStart.size(); ++b)
        bucketStart[b] += bucketStart[b - 1];
    std::vector<std::size_t> byBucket(headers.size());
    {
        std::vector<std::size_t> next(bucketStart.begin(), bucketStart.end() - 1);
        for (std::size_t h = 0; h < headers.size(); ++h)
            byBucket[next[bucketOf(headers[h].key)]++] = h;
    }
    // The keys there are, as bits of a filter small enough to stay in the
    // cache: most places tried are no header's, and are passed over here.
    constexpr std::uint64_t kFilterBits = std::uint64_t {1} << 20;
    std::vector<std::uint64_t> filter(kFilterBits / 64);
    for (const Header& h : headers)
        filter[(h.key % kFilterBits) / 64] |= std::uint64_t {1} << (h.key % 64);
    std::vector<std::pair<std::size_t, std::size_t>> anchors; // and key lengths
    for (const Header& h : headers)
        if (std::find(anchors.begin(), anchors.end(), std::pair(h.anchor, h.keyLength)) == anchors.end())
            anchors.emplace_back(h.anchor, h.keyLength);
    ForEachOccurrence(text, u" - (", [&](std::size_t t) {
        for (const auto& [anchor, keyLength] : anchors) {
            if (t < anchor + 1)
                continue;
            const std::size_t c = t - anchor;
            const std::uint64_t key = FoldedKey(text.substr(c, keyLength));
            if (!(filter[(key % kFilterBits) / 64] >> (key % 64) & 1))
                continue;
            const std::size_t bucket = bucketOf(key);
            for (std::size_t b = bucketStart[bucket]; b < bucketStart[bucket + 1]; ++b) {
                Header& header = headers[byBucket[b]];
                if (header.key != key || header.first || header.anchor != anchor || header.keyLength != keyLength)
                    continue;
                // Mostly the header is met where the caret found it.
                const auto there = text.substr(c, header.text.size());
                if (there.data() == header.text.data() || FoldedEqual(there, header.text))
                    header.first = static_cast<std::int64_t>(c);
            }
        }
    });

    // LandedNOTE's label scan: the last label end in reach.
    std::vector<std::int64_t> labelEnds;
    for (std::u16string_view label : kRecordingLabels)
        ForEachOccurrence(text, LabelEnd(label),
            [&](std::size_t at) { labelEnds.push_back(static_cast<std::int64_t>(at + kLabelEndLength) - 1); });
    std::sort(labelEnds.begin(), labelEnds.end());
    const auto labelAt = [&](std::int64_t q) -> std::optional<std::int64_t> {
        const auto after = std::upper_bound(labelEnds.begin(), labelEnds.end(), q);
        if (after == labelEnds.begin() || *(after - 1) < LabelScanFloor(q))
            return std::nullopt;
        return *(after - 1);
    };

    for (const Header& header : headers) {
        if (!header.first || *header.first <= 5)
            continue;
        const auto scanPos
            = static_cast<std::int32_t>(*header.first + static_cast<std::int64_t>(header.text.size()) + 5);
        LandedNote note = LandNote(text, scanPos, labelAt);
        if (note.NoteAudioFound)
            answers[header.caret] = std::move(note);
    }
    return answers;
}

std::int16_t ListedRecordingNumber(const std::vector<Mp3Record>& rows, std::string_view fileName)
{
    return ListedRecordings(rows).Number(fileName);
}

ListedRecordings::ListedRecordings(const std::vector<Mp3Record>& rows)
{
    const std::size_t count = std::min(rows.size(), IncidentModel::kMaxRecordings);
    m_numbers.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        m_numbers.try_emplace(rows[i].FileName, static_cast<std::int16_t>(i + 1)); // the first row of a name
}

std::int16_t ListedRecordings::Number(std::string_view fileName) const
{
    const auto it = m_numbers.find(fileName);
    return it == m_numbers.end() ? 0 : it->second;
}

bool LandedMP3(std::u16string_view text, const std::string& caseNumber, MP3LT& caret)
{
    caret.Name.clear();
    caret.Start = 0;
    caret.Stop = 0;
    const std::int64_t cp = caret.CarrotPOS;
    bool stopFound = false;
    for (int k = 0; k <= 50; ++k) {
        const auto x = CharAt(text, cp + k);
        if (x == u'3' && WindowIs(text, cp + k - 2, cp + k + 1, u"mp3"sv)) {
            caret.Stop = static_cast<std::int32_t>(cp + k + 1);
            stopFound = true;
            break;
        }
        if (x == u' ')
            return false;
    }
    if (!stopFound)
        return false;
    bool startFound = false;
    for (int j = 0; j <= 50; ++j) {
        const auto x = CharAt(text, cp - j);
        if (!x || *x == u' ' || *x < 32) {
            caret.Start = static_cast<std::int32_t>(cp - j + 1);
            startFound = true;
            break;
        }
    }
    if (!startFound)
        return false;
    caret.Name = ToUtf8(Window(text, caret.Start, caret.Stop));
    return caret.Name.ends_with(".mp3") && caret.Name.starts_with(caseNumber);
}

} // namespace pellam
