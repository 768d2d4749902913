#pragma once
// Reads the rich text that word processors and rich-edit controls write into
// a RichDocument. The reader is one linear pass with an explicit group stack:
// deep nesting, truncated or unbalanced input and lying \bin lengths end the
// document cleanly, never the program. Input that does not start with "{\rtf"
// is taken as plain Windows-1252 text, as the log boxes load such files.
#include "base/Result.h"
#include "richtext/RichDocument.h"

#include <string>
#include <string_view>

namespace pellam {

RichDocument ReadRtf(std::string_view bytes);

enum class RichTextFileError { NotFound, NotAFile, TooLarge, Unreadable };
// What went wrong, in a few words for messages.
const char* Describe(RichTextFileError error);

// A document file read whole: at most kMaxRichTextFileBytes.
inline constexpr std::size_t kMaxRichTextFileBytes = 256u * 1024u * 1024u;
Result<RichDocument, RichTextFileError> LoadRichTextFile(const std::string& path);

} // namespace pellam
