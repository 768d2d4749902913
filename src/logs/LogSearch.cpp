#include "logs/LogSearch.h"

#include "richtext/RichDocument.h"

#include <algorithm>

namespace pellam {
char16_t FoldCase(char16_t c)
{
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<char16_t>(c + 32);
    if (c >= 0x0410 && c <= 0x042F) // Cyrillic capitals
        return static_cast<char16_t>(c + 32);
    return c;
}

std::int32_t FindIgnoringCase(std::u16string_view text, std::u16string_view needle, std::int32_t from)
{
    from = std::max(from, 0);
    if (needle.empty() || static_cast<std::size_t>(from) > text.size())
        return -1;
    const auto begin = text.begin() + from;
    const auto it = std::search(begin, text.end(), needle.begin(), needle.end(),
        [](char16_t a, char16_t b) { return FoldCase(a) == FoldCase(b); });
    return it == text.end() ? -1 : static_cast<std::int32_t>(it - text.begin());
}

SearchStepResult SearchStep(
    SearchState& state, const std::u16string& t, std::u16string_view text, std::int32_t selectionLength)
{
    SearchStepResult result;
    if (t != state.SearchText)
        state.SearchActive = false;
    if (t.empty())
        return result;
    const std::string quoted = ToUtf8(t);
    if (state.SearchActive) {
        state.SearchFound = FindIgnoringCase(text, state.SearchText, state.SearchStart);
        if (state.SearchFound >= 0) {
            result.selectStart = state.SearchFound;
            result.selectLength = static_cast<std::int32_t>(state.SearchText.size());
            selectionLength = result.selectLength;
        }
        state.SearchStart = state.SearchFound + selectionLength;
        if (state.SearchFound == -1)
            result.message = Message {"Search", "No other matches found for \"" + ToUtf8(state.SearchText) + "\"  ",
                MessageIcon::Information};
        return result;
    }
    state.SearchText = t;
    state.SearchActive = true;
    result.clearSelection = true;
    selectionLength = 0;
    state.SearchFound = FindIgnoringCase(text, t, 0);
    if (state.SearchFound >= 0) {
        result.selectStart = state.SearchFound;
        result.selectLength = static_cast<std::int32_t>(t.size());
        selectionLength = result.selectLength;
    }
    state.SearchStart = state.SearchFound + selectionLength;
    if (state.SearchFound == -1)
        result.message = Message {"Search", "No match found for \"" + quoted + "\"", MessageIcon::Information};
    return result;
}

} // namespace pellam
