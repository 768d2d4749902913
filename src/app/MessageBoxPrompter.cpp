#include "app/MessageBoxPrompter.h"

#include <QApplication>
#include <QMessageBox>

namespace pellam {

void MessageBoxPrompter::Show(const Message& message)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (message.icon) {
    case MessageIcon::None:
        icon = QMessageBox::NoIcon;
        break;
    case MessageIcon::Critical:
        icon = QMessageBox::Critical;
        break;
    case MessageIcon::Question:
        icon = QMessageBox::Question;
        break;
    case MessageIcon::Exclamation:
        icon = QMessageBox::Warning;
        break;
    case MessageIcon::Information:
        icon = QMessageBox::Information;
        break;
    }
    // A message box without a title of its own carries the program's name.
    const QString title = message.title.empty() ? QStringLiteral("Pellam") : QString::fromStdString(message.title);
    QMessageBox box(icon, title, QString::fromStdString(message.text), QMessageBox::Ok, m_parent);
    if (!message.detail.empty())
        box.setDetailedText(QString::fromStdString(message.detail));
    box.exec();
}

void MessageBoxPrompter::Beep()
{
    QApplication::beep();
}

} // namespace pellam
