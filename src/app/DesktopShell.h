#pragma once
// The program's Shell: the system's file and printer dialogs, xdg-open
// through the one DesktopOpener, the working folder under the user's data
// folder.
#include "app/Shell.h"
#include "base/Prompter.h"

#include <QObject>

namespace pellam {

class DesktopOpener;

class DesktopShell final : public QObject, public Shell {
    Q_OBJECT
public:
    explicit DesktopShell(Prompter& prompter, QObject* parent = nullptr);

    // The window the dialogs open over.
    void setWindow(QWidget* window) { m_window = window; }

    QString ChooseEventFile(const QString& folder) override;
    QString ChooseSaveFile(const SaveFileChoice& choice, QWidget* over) override;
    bool ChoosePrinter(QPrinter& printer, QWidget* over) override;
    QString AskExaminer(QWidget* over) override;
    bool OpenWithDesktop(const std::string& path) override;
    bool StartProgram(const std::string& program) override;
    bool StartCopy(const QString& eventFile) override;
    Result<FolderPath, SystemError> MakeWorkFolder() override;
    bool RunningAsRoot() const override;

private:
    Prompter& m_prompter;
    DesktopOpener* m_desktop;
    QWidget* m_window = nullptr;
};

} // namespace pellam
