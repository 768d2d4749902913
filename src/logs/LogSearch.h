#pragma once
// The search of one log: a press of its SEARCH button (or Enter in its box)
// finds the next occurrence of the text, ignoring letter case and also inside
// words, and continues after it on the next press; a changed text starts
// again from the top. Positions are document positions.
#include "base/Message.h"

#include <cstdint>
#include <optional>
#include <string>

namespace pellam {

struct SearchState {
    std::u16string SearchText;
    bool SearchActive = false;
    std::int32_t SearchStart = 0;
    std::int32_t SearchFound = -1;
};

struct SearchStepResult {
    // The match to select, [start, start + length); nothing leaves the
    // selection as it is.
    std::optional<std::int32_t> selectStart;
    std::int32_t selectLength = 0;
    // Before searching anew the caret goes to the top with nothing selected.
    bool clearSelection = false;
    std::optional<Message> message;
};

// One press with search box text t, on a document whose plain text is
// `text`; selectionLength is the length of the view's selection after the
// step's own selection change (the match's, or what was selected before).
SearchStepResult SearchStep(
    SearchState& state, const std::u16string& t, std::u16string_view text, std::int32_t selectionLength);

// The letter-case folding every search of a log uses: capitals of Latin
// (ASCII and Latin-1) and Cyrillic to their small letters.
char16_t FoldCase(char16_t c);

// The first position at or after `from` where `needle` occurs in `text`,
// letter case ignored; -1 when none.
std::int32_t FindIgnoringCase(std::u16string_view text, std::u16string_view needle, std::int32_t from);

} // namespace pellam
