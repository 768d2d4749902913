#include "workspace/ui/DesktopOpen.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace pellam {

DesktopOpenOutcome OpenWithDesktop(const QString& path, const DesktopHandler& handler)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return DesktopOpenOutcome::Missing;
    const bool opened = handler ? handler(path) : QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    return opened ? DesktopOpenOutcome::Opened : DesktopOpenOutcome::Refused;
}

Message DesktopRefusal(const QString& path, DesktopOpenOutcome outcome)
{
    const bool folder = QFileInfo(path).isDir() || path.endsWith('/');
    const std::string what = std::string(folder ? "the folder " : "the file ") + path.toStdString();
    if (outcome == DesktopOpenOutcome::Missing)
        return {
            "Open Error", "Unable to open " + what + " " + kLineBreak + "It does not exist.", MessageIcon::Exclamation};
    return {"Open Error",
        "Unable to open " + what + " " + kLineBreak
            + (folder ? "No file manager took it. Please open the folder by hand."
                      : "No program on this PC opens this kind of file. Please open it by hand."),
        MessageIcon::Exclamation};
}

} // namespace pellam
