#include "richtext/TextPositions.h"

#include <algorithm>

namespace pellam {

TextPositions::TextPositions(const RichDocument& doc)
{
    m_breaks.reserve(doc.ParagraphCount() - 1);
    for (std::size_t p = 0; p + 1 < doc.ParagraphCount(); ++p)
        m_breaks.push_back(static_cast<std::uint32_t>(doc.ParagraphEnd(p)));
}

std::int64_t TextPositions::ToView(std::int64_t documentPosition) const
{
    // Breaks wholly before the position each counted one character too many.
    const auto before = std::upper_bound(m_breaks.begin(), m_breaks.end(), documentPosition - 2,
                            [](std::int64_t pos, std::uint32_t at) { return pos < static_cast<std::int64_t>(at); })
        - m_breaks.begin();
    std::int64_t view = documentPosition - before;
    // On the line feed of a break: the break itself.
    const std::int64_t cr = documentPosition - 1;
    if (cr >= 0 && cr <= UINT32_MAX
        && std::binary_search(m_breaks.begin(), m_breaks.end(), static_cast<std::uint32_t>(cr)))
        view -= 1;
    return view;
}

std::int64_t TextPositions::ToDocument(std::int64_t viewPosition) const
{
    // The k-th break sits at view position m_breaks[k] - k.
    std::size_t lo = 0;
    std::size_t hi = m_breaks.size();
    while (lo < hi) {
        const std::size_t mid = (lo + hi) / 2;
        if (static_cast<std::int64_t>(m_breaks[mid]) - static_cast<std::int64_t>(mid) < viewPosition)
            lo = mid + 1;
        else
            hi = mid;
    }
    return viewPosition + static_cast<std::int64_t>(lo);
}

} // namespace pellam
