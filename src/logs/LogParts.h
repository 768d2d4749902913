#pragma once
// A very large log is shown a part at a time: laying out hundreds of
// megabytes of rich text at once would take the viewer minutes and gigabytes.
// Parts begin where paragraphs begin; a paragraph longer than a part is cut
// (never between the two halves of a surrogate pair). Positions in a part are
// the document's positions less the part's start, so search and the
// notation link work on the whole log as before.
#include "richtext/RichDocument.h"

#include <cstddef>
#include <vector>

namespace pellam {

// What one part holds at most.
inline constexpr std::size_t kPartCharacters = 1000000;
inline constexpr std::size_t kPartParagraphs = 20000;

// The document position where each part begins, ascending; the first is 0.
// A document within one part's limits is one part.
std::vector<std::size_t> LogParts(
    const RichDocument& doc, std::size_t maxCharacters = kPartCharacters, std::size_t maxParagraphs = kPartParagraphs);

// The part a position lies in.
std::size_t PartOf(const std::vector<std::size_t>& parts, std::size_t position);

} // namespace pellam
