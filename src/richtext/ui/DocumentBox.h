#pragma once
// The read-only box a viewer shows a document in: selectable text, and a
// context menu that adds one entry to mark the place under the pointer.
#include <QString>

#include <functional>

class QTextEdit;
class QWidget;

namespace pellam {

// `markEntry` is the menu text; `mark` gets the document position under the pointer.
QTextEdit* NewDocumentBox(QWidget* parent, const QString& objectName, const QString& markEntry,
    std::function<void(int position)> mark);

} // namespace pellam
