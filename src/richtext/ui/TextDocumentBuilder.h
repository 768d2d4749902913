#pragma once
// Shows a RichDocument: builds the QTextDocument a view or a printer renders.
// One block per paragraph, so a view position differs from a document
// position only by the one character each line break counts less
// (TextPositions converts between them).
#include "richtext/RichDocument.h"

#include <QHash>
#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>

class QTextDocument;
class QObject;

namespace pellam {

// The pictures a document's picture runs name.
using Pictures = QHash<QString, QImage>;

std::unique_ptr<QTextDocument> BuildTextDocument(
    const RichDocument& doc, QObject* parent = nullptr, const Pictures& pictures = {});

// Fills an existing document (a view's own), replacing what it held, with
// the document's positions [from, to) (neither inside a break). A picture
// run whose picture is not given shows its text.
void FillTextDocument(QTextDocument& target, const RichDocument& doc, const Pictures& pictures = {},
    std::size_t from = 0, std::size_t to = SIZE_MAX);

} // namespace pellam
