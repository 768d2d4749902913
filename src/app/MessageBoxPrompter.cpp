#include "app/MessageBoxPrompter.h"

#include <QApplication>
#include <QMessageBox>

namespace pellam {

namespace {

QMessageBox::Icon IconOf(const Message& message)
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
    return icon;
}

// The box of a message with `buttons`; a message box without a title of its
// own carries the program's name.
int Exec(
    const Message& message, QMessageBox::StandardButtons buttons, QMessageBox::StandardButton initial, QWidget* parent)
{
    const QString title = message.title.empty() ? QStringLiteral("Pellam") : QString::fromStdString(message.title);
    QMessageBox box(IconOf(message), title, QString::fromStdString(message.text), buttons, parent);
    box.setDefaultButton(initial);
    if (!message.detail.empty())
        box.setDetailedText(QString::fromStdString(message.detail));
    return box.exec();
}

} // namespace

void MessageBoxPrompter::Show(const Message& message)
{
    Exec(message, QMessageBox::Ok, QMessageBox::Ok, m_parent);
}

bool MessageBoxPrompter::Ask(const Message& question)
{
    return Exec(question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No, m_parent) == QMessageBox::Yes;
}

void MessageBoxPrompter::Beep()
{
    QApplication::beep();
}

} // namespace pellam
