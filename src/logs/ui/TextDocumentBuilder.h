#pragma once
// Shows a RichDocument: builds the QTextDocument a view or a printer renders.
// One block per paragraph, so a view position differs from a document
// position only by the one character each line break counts less
// (TextPositions converts between them).
#include "richtext/RichDocument.h"

#include <memory>

class QTextDocument;
class QObject;

namespace pellam {

std::unique_ptr<QTextDocument> BuildTextDocument(const RichDocument& doc, QObject* parent = nullptr);

// Fills an existing document (a view's own), replacing what it held.
void FillTextDocument(QTextDocument& target, const RichDocument& doc);

} // namespace pellam
