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
    const std::u16string text = doc.PlainText();
    if (doc.paragraphs.empty() || doc.PlainLength() != text.size())
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
