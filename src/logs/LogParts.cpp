#include "logs/LogParts.h"

#include <algorithm>

namespace pellam {

std::vector<std::size_t> LogParts(const RichDocument& doc, std::size_t maxCharacters, std::size_t maxParagraphs)
{
    maxCharacters = std::max<std::size_t>(maxCharacters, 2);
    const std::u16string& text = doc.PlainText();
    std::vector<std::size_t> starts {0};
    std::size_t paragraphs = 0;
    for (std::size_t p = 0; p < doc.ParagraphCount(); ++p) {
        const std::size_t begin = doc.ParagraphStart(p);
        const std::size_t end = doc.ParagraphEnd(p);
        if (p > 0 && (paragraphs >= maxParagraphs || end - starts.back() > maxCharacters)) {
            starts.push_back(begin);
            paragraphs = 0;
        }
        while (end - starts.back() > maxCharacters) {
            std::size_t cut = starts.back() + maxCharacters;
            if (text[cut - 1] >= 0xD800 && text[cut - 1] <= 0xDBFF)
                --cut;
            starts.push_back(cut);
            paragraphs = 0;
        }
        ++paragraphs;
    }
    return starts;
}

std::size_t PartOf(const std::vector<std::size_t>& parts, std::size_t position)
{
    const auto it = std::upper_bound(parts.begin(), parts.end(), position);
    return it == parts.begin() ? 0 : static_cast<std::size_t>(it - parts.begin()) - 1;
}

} // namespace pellam
