#include "richtext/RtfReader.h"

#include "base/FileDescriptor.h"
#include "richtext/CodePage.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

namespace pellam {
namespace {

// Where the text of the current group goes.
enum class Destination {
    Text, // the document body
    Skip, // a destination that is not shown
    FontTable, // \fonttbl
    ColourTable, // \colortbl
};

struct GroupState {
    Destination destination = Destination::Text;
    CharFormat format;
    Alignment alignment = Alignment::Left;
    int unicodeSkip = 1; // \uc
    int codePage = 0; // the current font's code page, 0 = the document's
};

// Destinations whose text is never shown.
bool IsSkippedDestination(std::string_view word)
{
    static const std::unordered_set<std::string_view> kSkipped = {"stylesheet", "info", "pict", "header", "headerl",
        "headerr", "headerf", "footer", "footerl", "footerr", "footerf", "fldinst", "themedata", "colorschememapping",
        "datastore", "latentstyles", "listtable", "listoverridetable", "revtbl", "rsidtbl", "generator", "filetbl",
        "nonshppict", "xe", "tc", "pntext", "listtext", "objdata", "objclass", "private", "xmlnstbl", "mmathPr",
        "pgdsctbl", "author", "operator", "title", "subject", "keywords", "comment", "doccomm", "bkmkstart", "bkmkend",
        "footnote", "annotation", "atnid", "atnauthor", "ftnsep", "ftnsepc", "ftncn", "aftnsep", "aftnsepc", "aftncn",
        "shpinst", "sp", "sn", "sv", "do", "userprops", "fchars", "lchars", "falt", "panose", "fontemb", "fontfile",
        "blipuid", "passwordhash", "wgrffmtfilter"};
    return kSkipped.contains(word);
}

class Parser {
public:
    explicit Parser(std::string_view in) : m_in(in) { }

    RichDocument Run()
    {
        // Every character, break and change of format of the text costs at
        // least a byte of the input, every break and run a backslash or a
        // brace: room for that much keeps the text from moving as it grows.
        const auto backslashes = static_cast<std::size_t>(std::count(m_in.begin(), m_in.end(), '\\'));
        const auto braces = static_cast<std::size_t>(std::count(m_in.begin(), m_in.end(), '}'));
        m_doc.Reserve(m_in.size(), backslashes + 1, backslashes + braces + 1);
        m_stack.push_back(GroupState {});
        while (m_pos < m_in.size()) {
            const char c = m_in[m_pos];
            if (c == '{') {
                ++m_pos;
                Flush();
                if (m_stack.size() < kMaxDepth)
                    m_stack.push_back(m_stack.back());
                else
                    ++m_depthBeyond; // such groups share the deepest state; no memory per brace
                m_groupStart = true;
                continue;
            }
            if (c == '}') {
                ++m_pos;
                Flush();
                if (m_depthBeyond > 0) {
                    --m_depthBeyond;
                } else {
                    EndGroup();
                    if (m_stack.size() <= 1)
                        break; // the document's closing brace; anything after it is not read
                }
                m_skipCount = 0;
                continue;
            }
            if (c == '\\') {
                ControlWord();
                m_groupStart = false;
                continue;
            }
            ++m_pos;
            if (c == '\r' || c == '\n')
                continue;
            m_groupStart = false;
            Byte(static_cast<unsigned char>(c));
            if (m_skipCount == 0)
                PlainSpan(); // the text up to the next brace, backslash or line end at once
        }
        Flush();
        // Unbalanced or truncated input: the open groups end here. A font or
        // colour entry cut off keeps what was read.
        while (!m_stack.empty())
            EndGroup();
        return std::move(m_doc);
    }

private:
    GroupState& State() { return m_stack.back(); }

    void EndGroup()
    {
        if (m_stack.empty())
            return;
        const Destination ended = m_stack.back().destination;
        m_stack.pop_back();
        if (ended == Destination::FontTable)
            FinishFontEntry(); // an entry's group, or the table's own end
    }

    // A text byte: collected so that runs of \'hh bytes of a double-byte page
    // decode together.
    void Byte(unsigned char b)
    {
        if (SkipOne())
            return;
        m_bytes += static_cast<char>(b);
    }

    void PlainSpan()
    {
        const std::size_t start = m_pos;
        while (m_pos < m_in.size()) {
            const char c = m_in[m_pos];
            if (c == '{' || c == '}' || c == '\\' || c == '\r' || c == '\n')
                break;
            ++m_pos;
        }
        if (State().destination != Destination::Skip) // picture data and the like are never decoded
            m_bytes.append(m_in.data() + start, m_pos - start);
        // A long stretch of text is decoded as it comes, never copied whole.
        if (m_bytes.size() >= kFlushBytes)
            Flush();
    }

    int CodePage() const
    {
        const int page = m_stack.empty() ? 0 : m_stack.back().codePage;
        return page != 0 ? page : m_docCodePage;
    }

    void Flush()
    {
        if (m_bytes.empty() || m_stack.empty())
            return;
        const int page = CodePage();
        // A lead byte given as \'hh may be followed by its trail byte as a
        // plain character; keep it until then.
        std::size_t usable = m_bytes.size();
        if (IsLeadByte(page, static_cast<unsigned char>(m_bytes.back()))) {
            std::size_t i = 0;
            while (i < m_bytes.size())
                i += IsLeadByte(page, static_cast<unsigned char>(m_bytes[i])) ? 2 : 1;
            if (i > m_bytes.size())
                usable = m_bytes.size() - 1;
        }
        const std::string_view part(m_bytes.data(), usable);
        if (!part.empty())
            Emit(DecodeCodePage(page, part));
        m_bytes.erase(0, usable);
        if (m_bytes.size() > 1) // never more than one byte is kept back
            m_bytes.clear();
    }

    void Emit(std::u16string_view text)
    {
        GroupState& s = State();
        switch (s.destination) {
        case Destination::Text:
            AppendText(text, s.format);
            break;
        case Destination::FontTable:
            m_fontName += ToUtf8(text);
            break;
        case Destination::ColourTable:
            for (char16_t ch : text)
                if (ch == u';')
                    FinishColour();
            break;
        case Destination::Skip:
            break;
        }
    }

    void AppendText(std::u16string_view text, const CharFormat& format)
    {
        m_doc.SetAlignment(State().alignment);
        m_doc.Append(text, format);
    }

    void Character(char16_t ch)
    {
        Flush();
        if (SkipOne())
            return;
        const char16_t one[1] = {ch};
        Emit(std::u16string_view(one, 1));
    }

    void ParagraphBreak()
    {
        Flush();
        if (State().destination != Destination::Text)
            return;
        m_doc.SetAlignment(State().alignment);
        m_doc.NewParagraph(State().alignment);
    }

    // After \u, the next \uc characters are the fallback for readers without
    // Unicode and are skipped.
    bool SkipOne()
    {
        if (m_skipCount <= 0)
            return false;
        --m_skipCount;
        return true;
    }

    void FinishFontEntry()
    {
        if (m_fontNumber < 0)
            return;
        std::string name = m_fontName;
        if (const auto semi = name.find(';'); semi != std::string::npos)
            name.erase(semi);
        while (!name.empty() && name.back() == ' ')
            name.pop_back();
        name.erase(0, std::min(name.size(), name.find_first_not_of(' ')));
        m_doc.fonts[m_fontNumber] = FontEntry {name, m_fontCharset};
        m_fontNumber = -1;
        m_fontName.clear();
        m_fontCharset = 0;
    }

    void FinishColour()
    {
        if (m_colourComponents)
            m_doc.colours.push_back(m_colour);
        else
            m_doc.colours.push_back(Colour {0, 0, 0, true});
        m_colour = Colour {};
        m_colourComponents = false;
    }

    // Reads a control word or symbol at m_pos (which holds the backslash).
    void ControlWord()
    {
        ++m_pos;
        if (m_pos >= m_in.size())
            return;
        const char c = m_in[m_pos];
        if (c != '\'')
            Flush(); // text before a control belongs to the state before it
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++m_pos;
            Symbol(c);
            return;
        }
        const std::size_t start = m_pos;
        while (m_pos < m_in.size() && m_pos - start < 32 && std::isalpha(static_cast<unsigned char>(m_in[m_pos])))
            ++m_pos;
        const std::string_view word = m_in.substr(start, m_pos - start);
        while (m_pos < m_in.size() && std::isalpha(static_cast<unsigned char>(m_in[m_pos])))
            ++m_pos; // an over-long word: the rest of its letters
        bool hasParam = false;
        bool negative = false;
        std::int64_t param = 0;
        if (m_pos < m_in.size() && m_in[m_pos] == '-' && m_pos + 1 < m_in.size()
            && std::isdigit(static_cast<unsigned char>(m_in[m_pos + 1]))) {
            negative = true;
            ++m_pos;
        }
        while (m_pos < m_in.size() && std::isdigit(static_cast<unsigned char>(m_in[m_pos]))) {
            hasParam = true;
            if (param < 100000000000LL)
                param = param * 10 + (m_in[m_pos] - '0');
            ++m_pos;
        }
        if (negative)
            param = -param;
        if (m_pos < m_in.size() && m_in[m_pos] == ' ')
            ++m_pos;
        Word(word, hasParam, param);
    }

    void Symbol(char c)
    {
        switch (c) {
        case '\\':
        case '{':
        case '}':
            Character(static_cast<char16_t>(c));
            break;
        case '~':
            Character(u'\u00A0');
            break;
        case '-':
            Character(u'\u00AD');
            break;
        case '_':
            Character(u'\u2011');
            break;
        case '\'': {
            // \'hh: one byte of the current code page.
            if (m_pos + 2 > m_in.size()) {
                m_pos = m_in.size();
                return;
            }
            int value = 0;
            const auto r = std::from_chars(m_in.data() + m_pos, m_in.data() + m_pos + 2, value, 16);
            if (r.ec != std::errc() || r.ptr != m_in.data() + m_pos + 2) {
                m_pos += 2;
                return;
            }
            m_pos += 2;
            if (m_skipCount > 0) {
                --m_skipCount;
                return;
            }
            m_bytes += static_cast<char>(value);
            return;
        }
        case '*':
            // An optional destination: skipped unless it is one we know.
            if (m_groupStart)
                m_ignorableNext = true;
            break;
        case '\r':
        case '\n':
            ParagraphBreak();
            break; // "\" before a line end is a \par
        case '\t':
            Character(u'\t');
            break;
        default:
            break; // \| \: and others: nothing shown
        }
    }

    void Word(std::string_view w, bool hasParam, std::int64_t param)
    {
        GroupState& s = State();
        const bool ignorable = std::exchange(m_ignorableNext, false);
        const int p = static_cast<int>(std::clamp<std::int64_t>(param, INT32_MIN, INT32_MAX));
        // Destinations.
        if (w == "fonttbl") {
            Flush();
            s.destination = Destination::FontTable;
            return;
        }
        if (w == "colortbl") {
            Flush();
            s.destination = Destination::ColourTable;
            m_colour = Colour {};
            m_colourComponents = false;
            return;
        }
        if (w == "bin") {
            // Raw bytes follow the word; they are skipped, never read as text.
            Flush();
            const std::int64_t n = hasParam ? std::max<std::int64_t>(param, 0) : 0;
            m_pos = static_cast<std::size_t>(
                std::min<std::int64_t>(static_cast<std::int64_t>(m_in.size()), static_cast<std::int64_t>(m_pos) + n));
            return;
        }
        if (IsSkippedDestination(w) || (ignorable && !IsKnownOptionalDestination(w))) {
            Flush();
            s.destination = Destination::Skip;
            return;
        }
        if (s.destination == Destination::FontTable) {
            FontTableWord(w, hasParam, p);
            return;
        }
        if (s.destination == Destination::ColourTable) {
            const auto component = static_cast<std::uint8_t>(std::clamp(p, 0, 255));
            if (w == "red")
                m_colour.red = component, m_colourComponents = true;
            else if (w == "green")
                m_colour.green = component, m_colourComponents = true;
            else if (w == "blue")
                m_colour.blue = component, m_colourComponents = true;
            return;
        }
        if (w == "ansicpg") {
            if (hasParam && p > 0)
                m_docCodePage = p;
            return;
        }
        if (w == "u") {
            Flush();
            if (SkipOne())
                return;
            if (hasParam && param >= -32768 && param <= 65535) {
                const auto unit = static_cast<char16_t>(param < 0 ? param + 65536 : param);
                const char16_t one[1] = {unit};
                Emit(std::u16string_view(one, 1));
            } else {
                const char16_t one[1] = {u'\uFFFD'};
                Emit(std::u16string_view(one, 1));
            }
            m_skipCount = s.unicodeSkip;
            return;
        }
        // Anything that stands for a character counts as one fallback character.
        if (m_skipCount > 0
            && (w == "par" || w == "line" || w == "tab" || w == "emdash" || w == "endash" || w == "lquote"
                || w == "rquote" || w == "ldblquote" || w == "rdblquote" || w == "bullet" || w == "emspace"
                || w == "enspace")) {
            --m_skipCount;
            return;
        }
        if (w == "par" || w == "line" || w == "page" || w == "row" || w == "sect") {
            ParagraphBreak();
            return;
        }
        if (w == "tab" || w == "cell") {
            Character(u'\t');
            return;
        }
        if (w == "emdash")
            return Character(u'\u2014');
        if (w == "endash")
            return Character(u'\u2013');
        if (w == "lquote")
            return Character(u'\u2018');
        if (w == "rquote")
            return Character(u'\u2019');
        if (w == "ldblquote")
            return Character(u'\u201C');
        if (w == "rdblquote")
            return Character(u'\u201D');
        if (w == "bullet")
            return Character(u'\u2022');
        if (w == "emspace")
            return Character(u'\u2003');
        if (w == "enspace")
            return Character(u'\u2002');

        // Formatting: pending bytes belong to the format they were written in.
        Flush();
        if (w == "uc") {
            s.unicodeSkip = static_cast<int>(std::clamp<std::int64_t>(hasParam ? param : 1, 0, 16));
        } else if (w == "plain") {
            s.format = CharFormat {};
            s.codePage = 0;
        } else if (w == "pard") {
            s.alignment = Alignment::Left;
        } else if (w == "ql") {
            s.alignment = Alignment::Left;
        } else if (w == "qc") {
            s.alignment = Alignment::Center;
        } else if (w == "qr") {
            s.alignment = Alignment::Right;
        } else if (w == "qj") {
            s.alignment = Alignment::Justify;
        } else if (w == "b") {
            s.format.bold = !hasParam || param != 0;
        } else if (w == "i") {
            s.format.italic = !hasParam || param != 0;
        } else if (w == "ul" || w == "uld" || w == "uldb" || w == "ulw" || w == "uldash" || w == "ulth") {
            s.format.underline = !hasParam || param != 0;
        } else if (w == "ulnone") {
            s.format.underline = false;
        } else if (w == "f") {
            s.format.font = std::max(p, -1);
            const FontEntry* f = m_doc.font(p);
            s.codePage = f ? CodePageOfCharset(f->charset) : 0;
        } else if (w == "fs") {
            s.format.halfPoints = std::clamp(hasParam ? p : 24, 1, 3276);
        } else if (w == "cf") {
            s.format.colour = std::max(p, 0);
        }
        // Every other control word changes nothing the program shows.
    }

    static bool IsKnownOptionalDestination(std::string_view w)
    {
        // Optional destinations whose text is shown.
        return w == "fldrslt" || w == "shppict";
    }

    void FontTableWord(std::string_view w, bool hasParam, int p)
    {
        if (w == "f" && hasParam) {
            FinishFontEntry();
            m_fontNumber = p;
        } else if (w == "fcharset") {
            m_fontCharset = p;
        }
    }

    // Writers nest a few dozen groups; damaged or hostile input may open
    // millions, which are counted instead of stacked.
    static constexpr std::size_t kMaxDepth = 4096;
    static constexpr std::size_t kFlushBytes = 64 * 1024;

    std::string_view m_in;
    std::size_t m_pos = 0;
    std::vector<GroupState> m_stack;
    std::size_t m_depthBeyond = 0;
    RichDocument m_doc;
    std::string m_bytes;
    int m_docCodePage = 1252;
    int m_skipCount = 0;
    bool m_groupStart = false;
    bool m_ignorableNext = false;

    int m_fontNumber = -1;
    int m_fontCharset = 0;
    std::string m_fontName;
    Colour m_colour;
    bool m_colourComponents = false;
};

RichDocument ReadPlainText(std::string_view bytes)
{
    RichDocument doc;
    const auto lines = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'))
        + static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\r'));
    doc.Reserve(bytes.size() + lines, lines + 1, 1);
    std::size_t start = 0;
    auto add = [&](std::size_t end) {
        if (end > start)
            doc.Append(DecodeCodePage(1252, bytes.substr(start, end - start)), CharFormat {});
    };
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' || bytes[i] == '\r') {
            add(i);
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            doc.NewParagraph(Alignment::Left);
            start = i + 1;
        }
    }
    add(bytes.size());
    return doc;
}

} // namespace

RichDocument ReadRtf(std::string_view bytes)
{
    if (!bytes.starts_with("{\\rtf"))
        return ReadPlainText(bytes);
    return Parser(bytes).Run();
}

const char* Describe(RichTextFileError error)
{
    switch (error) {
    case RichTextFileError::NotFound:
        return "No such file or directory";
    case RichTextFileError::NotAFile:
        return "not a regular file";
    case RichTextFileError::TooLarge:
        return "larger than a log document can be";
    case RichTextFileError::Unreadable:
        break;
    }
    return "cannot be read";
}

Result<RichDocument, RichTextFileError> LoadRichTextFile(const std::string& path)
{
    auto opened = FileDescriptor::OpenForReading(path);
    if (!opened) {
        const int why = opened.error().number;
        return fail(why == ENOENT                ? RichTextFileError::NotFound
                : why == EISDIR || why == EINVAL ? RichTextFileError::NotAFile
                                                 : RichTextFileError::Unreadable);
    }
    const FileDescriptor& fd = opened.value();
    const std::int64_t size = fd.Size();
    if (size < 0)
        return fail(RichTextFileError::Unreadable);
    if (static_cast<std::uint64_t>(size) > kMaxRichTextFileBytes)
        return fail(RichTextFileError::TooLarge);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    const std::int64_t got = fd.ReadAt(0, bytes.data(), bytes.size());
    if (got < 0)
        return fail(RichTextFileError::Unreadable);
    bytes.resize(static_cast<std::size_t>(got)); // a file cut short since: what is there
    return ReadRtf(bytes);
}

} // namespace pellam
