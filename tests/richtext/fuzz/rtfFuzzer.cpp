// Any bytes as a log document: the reader ends every input cleanly, and the
// document it gives counts its positions consistently.
#include "richtext/RtfReader.h"
#include "richtext/TextPositions.h"
#include "support/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using pellam::fuzz::Require;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const pellam::RichDocument doc = pellam::ReadRtf(bytes);
    const std::u16string_view text = doc.PlainText();
    // The paragraphs and their runs cover the text exactly, a break between
    // each two.
    std::size_t at = 0;
    for (std::size_t p = 0; p < doc.ParagraphCount(); ++p) {
        Require(doc.ParagraphStart(p) == at, "a paragraph starts off the text");
        for (const pellam::RunView& run : doc.Runs(p)) {
            Require(run.text == text.substr(at, run.text.size()), "a run differs from the text");
            at += run.text.size();
        }
        Require(at == doc.ParagraphEnd(p) && (p + 1 == doc.ParagraphCount() || text.substr(at, 2) == u"\r\n"),
            "a paragraph ends off its runs or its break");
        at += p + 1 < doc.ParagraphCount() ? 2 : 0;
    }
    Require(doc.ParagraphCount() > 0 && at == text.size(), "the paragraphs do not cover the text");
    (void)pellam::ToUtf8(text);
    // Every document position maps to a view position and back (a line feed
    // maps to its break, whose position is the carriage return's).
    const pellam::TextPositions map(doc);
    for (std::size_t d = 0; d <= text.size(); d += 1 + text.size() / 64) {
        const auto back = map.ToDocument(map.ToView(static_cast<std::int64_t>(d)));
        const bool onLineFeed = d > 0 && text[d - 1] == u'\r' && d < text.size() && text[d] == u'\n';
        Require(back == static_cast<std::int64_t>(d) - (onLineFeed ? 1 : 0), "a position does not map back");
    }
    return 0;
}
