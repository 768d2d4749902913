#include "app/Shell.h"

#include <QApplication>

namespace pellam {

PrinterChooser PrinterChoiceOf(Shell& shell)
{
    return [&shell](QPrinter& printer) { return shell.ChoosePrinter(printer, QApplication::activeWindow()); };
}

} // namespace pellam
