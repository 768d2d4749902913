#include "logs/NotationLink.h"

#include "richtext/RichDocument.h"

#include <algorithm>
#include <array>

namespace pellam {
namespace {

// The text of [from, to), clamped to the document: a window reaching past
// either end is shorter, so it never equals a full-length pattern.
std::u16string_view Window(std::u16string_view text, std::int64_t from, std::int64_t to)
{
    from = std::clamp<std::int64_t>(from, 0, static_cast<std::int64_t>(text.size()));
    to = std::clamp<std::int64_t>(to, from, static_cast<std::int64_t>(text.size()));
    return text.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
}

bool WindowIs(std::u16string_view text, std::int64_t from, std::int64_t to, std::u16string_view pattern)
{
    return Window(text, from, to) == pattern;
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

} // namespace

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
        if (WindowIs(text, p - 5, p, u"---\r\n")) {
            found = true;
            break;
        }
        --p;
    }
    if (!found)
        return 0;
    if (p < 305) {
        // Near the top of the log: step past what is not yet a header character.
        for (int n = 0; n < 10; ++n) {
            ++p;
            const auto c = CharAt(text, p);
            if (c && *c > 47)
                break;
        }
    }
    return static_cast<std::int32_t>(p);
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
    LandedNote note;
    std::int64_t p = noteScanPos;
    bool atNotation = false;
    for (int step = 0; step < 501; ++step) {
        if (WindowIs(text, p - 10, p + 1, u"-----------"))
            return note; // in a separator, or past the notation
        if (WindowIs(text, p - 10, p + 1, u"Notation By")) {
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
        if (WindowIs(text, h - 7, h + 11, u"Remote Notation By"))
            h -= 7;
        if (CharAt(text, h - 2) != u')')
            return;
        const std::string time = ToUtf8(Window(text, h - 7, h - 2));

        static constexpr std::array<std::u16string_view, 4> kLabelEnds
            = {u"Recording MP3 File:", u"rced Sub Recording:", u"ng Covert MIC File:", u" Sub Recording File"};
        std::int64_t q = h - 29;
        bool atLabel = false;
        for (int step = 0; step < 5000; ++step) {
            const auto w = Window(text, q - 18, q + 1);
            if (std::find(kLabelEnds.begin(), kLabelEnds.end(), w) != kLabelEnds.end()) {
                atLabel = true;
                break;
            }
            if (q <= 50)
                break;
            --q;
        }
        if (!atLabel)
            return;
        const std::int64_t n = q + 2;
        for (int i = 1; i <= 30; ++i) {
            if (WindowIs(text, n + i, n + i + 4, u".mp3")) {
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

std::int16_t ListedRecordingNumber(const std::vector<Mp3Record>& rows, std::string_view fileName)
{
    const std::size_t count = std::min(rows.size(), IncidentModel::kMaxRecordings);
    for (std::size_t i = 0; i < count; ++i)
        if (rows[i].FileName == fileName)
            return static_cast<std::int16_t>(i + 1);
    return 0;
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
        if (x == u'3' && WindowIs(text, cp + k - 2, cp + k + 1, u"mp3")) {
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
