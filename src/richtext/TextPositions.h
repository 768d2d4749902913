#pragma once
// Document positions count every line break as two characters (carriage
// return, line feed); a text view counts one paragraph separator instead.
// This one mapping converts between the two wherever a view's cursor meets
// a document position.
#include "richtext/RichDocument.h"

#include <cstdint>
#include <vector>

namespace pellam {

class TextPositions {
public:
    TextPositions() = default;
    explicit TextPositions(const RichDocument& doc);

    // The view position of a document position. A position on the line
    // feed of a break maps to the break itself.
    std::int64_t ToView(std::int64_t documentPosition) const;
    // The document position of a view position.
    std::int64_t ToDocument(std::int64_t viewPosition) const;

private:
    // Document position of each break's carriage return, ascending (a
    // document's positions fit 32 bits).
    std::vector<std::uint32_t> m_breaks;
};

} // namespace pellam
