#pragma once
// Handing a file to the program the desktop associates with its type, or a
// folder to the file manager. Every window that opens evidence with the
// desktop goes through here. The hand-over runs xdg-open with the path as its
// one argument (no shell) and waits for it without blocking: xdg-open starting
// is not the file opening, since it may then find no program for the file
// (it says so only on its stderr and in its exit status). A missing path, a
// tool that cannot start and a non-zero exit each reach the operator, with
// the path and what the system said as the message's detail.
#include "base/Message.h"
#include "base/Prompter.h"

#include <QObject>
#include <QString>

#include <functional>
#include <string>

namespace pellam {

// Why the desktop did not open a path.
struct DesktopFailure {
    enum class Kind {
        Missing, // the path does not exist: nothing was started
        NotStarted, // the tool could not be started
        Failed, // the tool ended with a non-zero status or crashed
        Unnamable, // the path's bytes cannot be handed to a program as they are
    };
    Kind kind = Kind::Missing;
    std::string path;
    int exitStatus = 0; // the tool's exit status (Failed); -1 when it crashed
    std::string reason; // what the system or the tool said, may be empty

    // The path, the reason and the status, a line each, for a message's detail.
    std::string Detail() const;
};

// How a caller words a failed hand-over in its own message box.
using DesktopWording = std::function<Message(const DesktopFailure&)>;

class DesktopOpener final : public QObject {
    Q_OBJECT
public:
    // The tool paths are handed to, found on PATH. Its exit statuses:
    // 1 bad arguments, 2 file not found, 3 a required tool (or any program
    // for the file) missing, 4 the open failed.
    static constexpr const char* kTool = "xdg-open";

    explicit DesktopOpener(Prompter& prompter, QObject* parent = nullptr);

    // Hands `path` (the file's exact bytes) to the desktop. A missing path,
    // or one whose bytes would not reach the tool unchanged, is reported at
    // once and gives false; otherwise the tool runs and, when it fails, the
    // message `wording` makes of the failure is shown, as long as this opener
    // lives.
    bool Open(const std::string& path, const DesktopWording& wording);

signals:
    // The hand-over of `path` (as QFile::decodeName reads it) ended: opened
    // when the tool exited with 0.
    void finished(const QString& path, bool opened);

private:
    void Report(const DesktopFailure& failure, const DesktopWording& wording);

    Prompter& m_prompter;
};

// "Open Error" naming a folder or file the desktop did not open, so the
// operator can open it by hand.
Message DesktopRefusal(const DesktopFailure& failure);

} // namespace pellam
