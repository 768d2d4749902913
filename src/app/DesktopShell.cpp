#include "app/DesktopShell.h"

#include "richtext/ui/PrintView.h"
#include "workspace/WorkFolder.h"
#include "workspace/ui/DesktopOpen.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>

#include <unistd.h>

namespace pellam {

DesktopShell::DesktopShell(Prompter& prompter, QObject* parent)
    : QObject(parent), m_prompter(prompter), m_desktop(new DesktopOpener(prompter, this))
{ }

QString DesktopShell::ChooseEventFile(const QString& folder)
{
    QFileDialog dialog(m_window, "Open Event", folder, "Event Files (*.evt)");
    dialog.resize(900, 600); // room for names and dates
    dialog.setDefaultSuffix("evt");
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::ReadOnly);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                   : QString();
}

QString DesktopShell::ChooseSaveFile(const SaveFileChoice& choice, QWidget* over)
{
    QFileDialog dialog(over ? over : m_window, choice.title, choice.suggested, choice.filters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(choice.suffix);
    // A name typed without a suffix takes the one of the filter chosen ("*.xml").
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        const qsizetype star = filter.indexOf("*.");
        if (star >= 0)
            dialog.setDefaultSuffix(filter.mid(star + 2).section(QRegularExpression("[ );]"), 0, 0));
    });
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                   : QString();
}

bool DesktopShell::ChoosePrinter(QPrinter& printer, QWidget* over)
{
    return RunPrintDialog(printer, over ? over : m_window);
}

QString DesktopShell::AskExaminer(QWidget* over)
{
    bool ok = false;
    const QString name = QInputDialog::getText(over ? over : m_window, "Examiner",
        "Your name, as printouts and case reports are to show it:", QLineEdit::Normal, QString(), &ok);
    return ok ? name : QString();
}

bool DesktopShell::OpenWithDesktop(const std::string& path)
{
    return m_desktop->Open(path, DesktopRefusal);
}

// A program found in the evidence is never run by us (with our rights, in the
// evidence folder): the desktop gets it, as any other file.
bool DesktopShell::StartProgram(const std::string& program)
{
    return OpenWithDesktop(program);
}

bool DesktopShell::StartCopy(const QString& eventFile)
{
    QProcess copy;
    copy.setProgram(QCoreApplication::applicationFilePath());
    copy.setArguments({eventFile});
    if (copy.startDetached())
        return true;
    m_prompter.Show({"", "Pellam could not be started again for " + eventFile.toStdString() + ": "
            + copy.errorString().toStdString() + ".",
        MessageIcon::Exclamation});
    return false;
}

Result<FolderPath, SystemError> DesktopShell::MakeWorkFolder()
{
    return MakeTempFolder();
}

bool DesktopShell::RunningAsRoot() const
{
    return ::geteuid() == 0;
}

} // namespace pellam
