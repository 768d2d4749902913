#pragma once
// A Shell that asks nobody and starts nothing: the event file and the printer
// are what the test chose, files and programs handed to the desktop are only
// noted, and running as root is the test's to say. The working folder is made
// as the program makes it (tests point HOME at a folder of their own).
#include "app/Shell.h"
#include "richtext/ui/PrintView.h"
#include "workspace/WorkFolder.h"

#include <QStringList>

#include <functional>

namespace pellam::test {

class FakeShell final : public Shell {
public:
    // What the open dialog returns ("" is a cancelled dialog); each call counts.
    std::function<QString()> eventFile = [] { return QString(); };
    int asked = 0;
    // The file a save dialog returns ("" is a cancelled dialog), and what the last one asked.
    QString saveFile;
    SaveFileChoice saveAsked;
    // Sets the printer up; unset, every print is cancelled.
    std::function<bool(QPrinter&)> printer;
    // The examiner's answer to the question for a name; each question counts.
    QString examiner;
    int examinerAsked = 0;
    bool root = false;
    QStringList opened; // paths handed to the desktop, in order
    QStringList started; // programs handed to the desktop
    QStringList copies; // event files another copy of the program was started on

    QString ChooseEventFile(const QString&) override
    {
        ++asked;
        return eventFile();
    }
    QString ChooseSaveFile(const SaveFileChoice& choice, QWidget*) override
    {
        saveAsked = choice;
        return saveFile;
    }
    bool ChoosePrinter(QPrinter& p, QWidget*) override { return printer && printer(p); }
    QString AskExaminer(QWidget*) override
    {
        ++examinerAsked;
        return examiner;
    }
    bool OpenWithDesktop(const std::string& path) override
    {
        opened << QString::fromStdString(path);
        return true;
    }
    bool StartProgram(const std::string& program) override
    {
        started << QString::fromStdString(program);
        return true;
    }
    bool StartCopy(const QString& copyOn) override
    {
        copies << copyOn;
        return true;
    }
    Result<FolderPath, SystemError> MakeWorkFolder() override { return MakeTempFolder(); }
    bool RunningAsRoot() const override { return root; }
};

} // namespace pellam::test
