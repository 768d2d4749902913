// Any bytes as a log document: the reader ends every input cleanly, and the
// document it gives counts its positions consistently.
#include "richtext/RtfReader.h"
#include "richtext/TextPositions.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const pellam::RichDocument doc = pellam::ReadRtf(bytes);
    const std::u16string_view text = doc.PlainText();
    // The paragraphs and their runs cover the text exactly, a break between
    // each two.
    std::size_t at = 0;
    for (std::size_t p = 0; p < doc.ParagraphCount(); ++p) {
        if (doc.ParagraphStart(p) != at)
            std::abort();
        for (const pellam::RunView& run : doc.Runs(p)) {
            if (run.text != text.substr(at, run.text.size()))
                std::abort();
            at += run.text.size();
        }
        if (at != doc.ParagraphEnd(p) || (p + 1 < doc.ParagraphCount() && text.substr(at, 2) != u"\r\n"))
            std::abort();
        at += p + 1 < doc.ParagraphCount() ? 2 : 0;
    }
    if (doc.ParagraphCount() == 0 || at != text.size())
        std::abort();
    (void)pellam::ToUtf8(text);
    // Every document position maps to a view position and back (a line feed
    // maps to its break, whose position is the carriage return's).
    const pellam::TextPositions map(doc);
    for (std::size_t d = 0; d <= text.size(); d += 1 + text.size() / 64) {
        const auto back = map.ToDocument(map.ToView(static_cast<std::int64_t>(d)));
        const bool onLineFeed = d > 0 && text[d - 1] == u'\r' && d < text.size() && text[d] == u'\n';
        if (back != static_cast<std::int64_t>(d) - (onLineFeed ? 1 : 0))
            std::abort();
    }
    return 0;
}
