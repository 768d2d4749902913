// pellam-cli rtf2text RTF: the plain text of a rich-text document, with every
// line break written as carriage return and line feed, so that byte offsets
// of ASCII text are the positions the log viewer counts.
#include "cli/Verbs.h"
#include "richtext/RtfReader.h"

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
    const std::string text = ToUtf8(doc->PlainText());
    std::fwrite(text.data(), 1, text.size(), stdout);
    return kOk;
}

const VerbRegistrar reg("rtf2text", "RTF", "the plain text of a log as the log viewer counts positions", &Run);

} // namespace
} // namespace pellam::cli
