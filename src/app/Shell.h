#pragma once
// What the program asks of the desktop it runs on: the open dialog for the
// event file, the save dialog, the printer dialog, handing a file, folder or program to the
// desktop, its working folder and whether it runs as root. The main window
// gets one Shell as it gets the Prompter, and passes the printer choice on to
// the windows it opens, so tests replace the whole desktop at one place.
#include "base/FolderPath.h"
#include "base/Prompter.h"
#include "base/Result.h"
#include "base/SystemError.h"
#include "richtext/ui/PrintView.h"
#include "workspace/IncidentModel.h"

#include <QString>

#include <string>

class QPrinter;
class QWidget;

namespace pellam {

// What a save dialog asks for.
struct SaveFileChoice {
    QString title; // the dialog's caption
    QString suggested; // the file (and folder) it starts with
    QString filters; // "PNG Pictures (*.png)", several joined by ";;"
    QString suffix; // added to a name typed without one (then the chosen filter's own)
};

class Shell {
public:
    virtual ~Shell() = default;

    // The event file the operator chose, the dialog starting in `folder`;
    // "" when the dialog was cancelled.
    virtual QString ChooseEventFile(const QString& folder) = 0;
    // The file to save into, as `choice` asks, the dialog over `over`; ""
    // when the dialog was cancelled.
    virtual QString ChooseSaveFile(const SaveFileChoice& choice, QWidget* over) = 0;
    // Sets `printer` up (a queue or a PDF file), a dialog over `over`; false
    // when the operator cancelled.
    virtual bool ChoosePrinter(QPrinter& printer, QWidget* over) = 0;
    // The examiner's name for printouts and case reports, a dialog over
    // `over`; "" when the examiner gave none.
    virtual QString AskExaminer(QWidget* over) = 0;
    // Hands a file or a folder to the desktop; a path that is missing, or
    // that nothing opened, reaches the operator with its name. False when the
    // path is missing or cannot be named to another program.
    virtual bool OpenWithDesktop(const std::string& path) = 0;
    // Hands a program the operator agreed to start to the desktop; false as
    // OpenWithDesktop is.
    virtual bool StartProgram(const std::string& program) = 0;
    // Starts another copy of this program on an event file; a copy that
    // cannot be started reaches the operator with the reason. False then.
    virtual bool StartCopy(const QString& eventFile) = 0;
    // Establishes the working folder into `temp` (ending with "/"); false
    // when it cannot.
    virtual Result<FolderPath, SystemError> MakeWorkFolder() = 0;
    // Whether this program runs with root's rights.
    virtual bool RunningAsRoot() const = 0;
};

// The printer choice the windows get in their input: the examiner's name
// (asked once), then the shell's dialog over the window whose print button
// was pressed, suggesting "<case>-<document>.pdf" in the folder the last PDF
// went into. A PDF the examiner points into the evidence folder is refused
// with a message, and nothing is printed.
PrinterChooser PrinterChoiceOf(Shell& shell, Prompter& prompter, const IncidentModel& model);

// The examiner's name: PELLAM_EXAMINER, the name remembered, or the shell's
// question, whose answer is remembered.
std::string ExaminerOf(Shell& shell, QWidget* over);

} // namespace pellam
