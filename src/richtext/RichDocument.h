#pragma once
// A rich-text document as the program reads it: paragraphs of formatted runs,
// with the font and colour tables the runs refer to. Text is kept in UTF-16
// code units, because document positions count those: the plain text joins
// the paragraphs with a carriage return and a line feed, so every line break
// counts as two characters.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace pellam {

enum class Alignment { Left, Center, Right, Justify };

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
};

struct Run {
    std::u16string text;
    CharFormat format;
    // Names the picture shown in place of the text (a view supplies the
    // picture itself); the text stands for it where pictures cannot be shown.
    std::string picture;
};

struct Paragraph {
    Alignment alignment = Alignment::Left;
    std::vector<Run> runs;

    std::size_t length() const;
};

struct RichDocument {
    std::map<int, FontEntry> fonts; // by \f number
    std::vector<Colour> colours;
    std::vector<Paragraph> paragraphs; // at least one

    RichDocument();

    // The font entry of a \f number, or nullptr.
    const FontEntry* font(int number) const;
    // The colour of an index; an automatic colour for an index outside the table.
    Colour colour(int index) const;

    // The text with "\r\n" between paragraphs.
    std::u16string PlainText() const;
    // Its length without building it.
    std::size_t PlainLength() const;
};

// The document as lines of plain text, each ending with "\n" (as the command line writes
// a report: alignment and fonts dropped, tabs kept).
std::string PlainLines(const RichDocument& doc);

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);
// UTF-8 to UTF-16; a byte that does not begin a well-formed sequence becomes U+FFFD.
std::u16string FromUtf8(std::string_view text);

} // namespace pellam
