#include "attachments/ui/ExamineFile.h"

#include "attachments/Examine.h"

namespace pellam {

bool Examine(const std::string& path, DesktopOpener& desktop)
{
    return desktop.Open(path, [](const DesktopFailure& failure) {
        switch (failure.kind) {
        case DesktopFailure::Kind::Missing:
            return ExamineMessage(ExamineFailure::FileNotFound, failure.Detail());
        case DesktopFailure::Kind::Unnamable:
            return ExamineMessage(ExamineFailure::AccessDenied, failure.Detail());
        case DesktopFailure::Kind::NotStarted: // without the opener nothing on this PC opens a file
            return ExamineMessage(ExamineFailure::NoAssociation, failure.Detail());
        case DesktopFailure::Kind::Failed:
            break;
        }
        return *ExamineMessage(ShellResultOfOpenerStatus(failure.exitStatus), failure.Detail());
    });
}

} // namespace pellam
