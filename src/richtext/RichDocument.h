#pragma once
// A rich-text document as the program reads it: one text of UTF-16 code
// units, paragraphs as offsets into it, and runs of formatting over it, with
// the font and colour tables the formats refer to. Positions count UTF-16
// code units, and the text holds a carriage return and a line feed between
// paragraphs, so every line break counts as two characters and the text is
// the document's plain text as it stands. A log of hundreds of megabytes
// costs its text and a few bytes per paragraph and per change of format.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace pellam {

enum class Alignment : std::uint8_t { Left, Center, Right, Justify };

struct FontEntry {
    std::string name; // UTF-8, without the trailing ";"
    int charset = 0; // the font's \fcharset, 0 = ANSI
};

struct Colour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool automatic = false; // the table's empty first entry: the writer's default colour
    bool operator==(const Colour&) const = default;
};

struct CharFormat {
    int font = -1; // the font table's \f number, -1 = none given
    int halfPoints = 24; // \fs: size in half points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int colour = 0; // index into the colour table, 0 = automatic
    bool operator==(const CharFormat&) const = default;
    auto operator<=>(const CharFormat&) const = default;
};

// A stretch of one paragraph in one format, as the document hands it out.
struct RunView {
    std::u16string_view text;
    const CharFormat& format;
    // Names the picture shown in place of the text (a view supplies the
    // picture itself); the text stands for it where pictures cannot be shown.
    const std::string& picture;
};

class RichDocument {
public:
    std::map<int, FontEntry> fonts; // by \f number
    std::vector<Colour> colours;

    RichDocument();

    // The font entry of a \f number, or nullptr.
    const FontEntry* font(int number) const;
    // The colour of an index; an automatic colour for an index outside the table.
    Colour colour(int index) const;

    // Writing, always at the end. Text joins the last run when its format
    // and picture are the last run's; a picture always makes a run of its own.
    void Append(std::u16string_view text, const CharFormat& format, const std::string& picture = {});
    // Ends the last paragraph and begins one aligned `alignment`.
    void NewParagraph(Alignment alignment);
    // The alignment of the last paragraph.
    void SetAlignment(Alignment alignment);
    // Back to one empty paragraph aligned `alignment`; fonts and colours stay.
    void ClearText(Alignment alignment = Alignment::Left);
    // Room for what a reader expects to write, so that the text is not moved
    // while it grows (room never written costs no memory).
    void Reserve(std::size_t characters, std::size_t paragraphs, std::size_t runs);

    std::size_t ParagraphCount() const { return m_starts.size(); }
    Alignment ParagraphAlignment(std::size_t paragraph) const;
    // Position of the paragraph's first character, and of the end of its text.
    std::size_t ParagraphStart(std::size_t paragraph) const { return m_starts[paragraph]; }
    std::size_t ParagraphEnd(std::size_t paragraph) const;
    std::size_t ParagraphLength(std::size_t paragraph) const
    {
        return ParagraphEnd(paragraph) - ParagraphStart(paragraph);
    }
    // The paragraph a position lies in (a break belongs to the paragraph it ends).
    std::size_t ParagraphAt(std::size_t position) const;
    // The runs of a paragraph, cut to the positions [from, to).
    std::vector<RunView> Runs(std::size_t paragraph, std::size_t from = 0, std::size_t to = SIZE_MAX) const;

    // The text with "\r\n" between paragraphs.
    const std::u16string& PlainText() const { return m_text; }
    std::size_t PlainLength() const { return m_text.size(); }

private:
    struct Style {
        CharFormat format;
        std::string picture;
    };
    // A run begins at `start` and lasts until the next one begins.
    struct RunStart {
        std::uint32_t start;
        std::uint32_t style;
    };
    std::uint32_t StyleOf(const CharFormat& format, const std::string& picture);

    // Texts of read documents are at most the size of a file a log can be,
    // so positions fit 32 bits.
    std::u16string m_text;
    std::vector<std::uint32_t> m_starts; // of each paragraph; the first is 0
    // Alignment from a paragraph on, for as long as it stays the same.
    std::vector<std::pair<std::uint32_t, Alignment>> m_alignments;
    std::vector<RunStart> m_runs;
    std::vector<Style> m_styles;
    std::map<std::pair<CharFormat, std::string>, std::uint32_t> m_styleIndex;
};

// The document as lines of plain text, each ending with "\n" (as the command line writes
// a report: alignment and fonts dropped, tabs kept).
std::string PlainLines(const RichDocument& doc);

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);
// UTF-8 to UTF-16; a byte that does not begin a well-formed sequence becomes U+FFFD.
std::u16string FromUtf8(std::string_view text);

} // namespace pellam
