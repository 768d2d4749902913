#include "richtext/ui/DocumentBox.h"

#include <QMenu>
#include <QTextEdit>

namespace pellam {

QTextEdit* NewDocumentBox(QWidget* parent, const QString& objectName, const QString& markEntry,
    std::function<void(int position)> mark)
{
    auto* box = new QTextEdit(parent);
    box->setObjectName(objectName);
    box->setReadOnly(true);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(box, &QTextEdit::customContextMenuRequested, box, [box, markEntry, mark](QPoint at) {
        QMenu* menu = box->createStandardContextMenu(at);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->addSeparator();
        const int position = box->cursorForPosition(at).position();
        menu->addAction(markEntry, box, [mark, position] { mark(position); });
        menu->popup(box->viewport()->mapToGlobal(at));
    });
    return box;
}

} // namespace pellam
