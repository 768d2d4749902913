// pellam-cli rtf2text RTF: the plain text of a rich-text document, with every
// line break written as carriage return and line feed, so that byte offsets
// of ASCII text are the positions the log viewer counts.
#include "cli/Verbs.h"
#include "richtext/RtfReader.h"

#include <algorithm>
#include <cstdio>

namespace pellam::cli {

const char* RichTextFileReason(RichTextFileError error)
{
    return Describe(error);
}

namespace {

int Run(const Args& args)
{
    const auto doc = LoadRichTextFile(args[0]);
    if (!doc)
        return Complain(args[0], RichTextFileReason(doc.error()));
    // Written a piece at a time, so the text is not held a second time as
    // UTF-8; a piece never ends between the two halves of a surrogate pair.
    const std::u16string_view text = doc->PlainText();
    constexpr std::size_t kPiece = 1 << 20;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t n = std::min(kPiece, text.size() - at);
        if (at + n < text.size() && text[at + n - 1] >= 0xD800 && text[at + n - 1] <= 0xDBFF)
            --n;
        const std::string piece = ToUtf8(text.substr(at, n));
        std::fwrite(piece.data(), 1, piece.size(), stdout);
        at += n;
    }
    return kOk;
}

const VerbRegistrar reg("rtf2text", "RTF", "the plain text of a log as the log viewer counts positions", &Run);

} // namespace
} // namespace pellam::cli
