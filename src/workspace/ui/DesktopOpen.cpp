#include "workspace/ui/DesktopOpen.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>

#include <memory>

#include <sys/stat.h>

namespace pellam {
namespace {

// xdg-open may run the program it found in the foreground, whose output then
// comes through the same pipe for as long as that program runs: only the end
// is kept, where xdg-open writes its own message.
constexpr qsizetype kKeptStderrBytes = 4096;

bool IsFolder(const std::string& path)
{
    struct stat st { };
    return (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) || (!path.empty() && path.back() == '/');
}

} // namespace

std::string DesktopFailure::Detail() const
{
    std::string detail = path;
    if (!reason.empty())
        detail += "\n" + reason;
    if (kind == Kind::Failed)
        detail += "\n" + std::string(DesktopOpener::kTool)
            + (exitStatus < 0 ? " crashed." : " ended with status " + std::to_string(exitStatus) + ".");
    return detail;
}

DesktopOpener::DesktopOpener(Prompter& prompter, QObject* parent) : QObject(parent), m_prompter(prompter) { }

bool DesktopOpener::Open(const std::string& path, const DesktopWording& wording)
{
    struct stat st { };
    if (path.empty() || path.find('\0') != std::string::npos || ::stat(path.c_str(), &st) != 0) {
        Report({DesktopFailure::Kind::Missing, path, 0, "It does not exist."}, wording);
        return false;
    }
    // A process's arguments are QStrings, turned into bytes by
    // QFile::encodeName: a name that does not come back as the same bytes
    // (not valid in the system's encoding) would reach the tool as another
    // file, so it is not handed over at all.
    const QString given = QFile::decodeName(path.c_str());
    if (QFile::encodeName(given).toStdString() != path) {
        Report({DesktopFailure::Kind::Unnamable, path, 0,
                   "Its name is not valid text in this system's encoding, so no program can be given it."},
            wording);
        return false;
    }
    const QFileInfo info(given);
    // The process belongs to the application, not to the window that asked:
    // closing that window must not kill xdg-open (nor the program it may be
    // running in the foreground). It deletes itself when it ends.
    auto* process = new QProcess(QCoreApplication::instance());
    process->setProgram(kTool);
    // An absolute path can never be taken for an option.
    process->setArguments({info.absoluteFilePath()});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    auto said = std::make_shared<QByteArray>();
    connect(process, &QProcess::readyReadStandardError, process, [process, said] {
        said->append(process->readAllStandardError());
        if (said->size() > kKeptStderrBytes)
            said->remove(0, said->size() - kKeptStderrBytes);
    });
    // The message box is modal: this opener may be gone once it is closed.
    const auto end = [this, given, wording](const DesktopFailure& failure) {
        const QPointer<DesktopOpener> alive(this);
        Report(failure, wording);
        if (alive)
            emit finished(given, false);
    };
    connect(process, &QProcess::errorOccurred, this, [process, path, end](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return; // a crash also ends in finished()
        end({DesktopFailure::Kind::NotStarted, path, 0,
            std::string(kTool) + " could not be started: " + process->errorString().toStdString()});
    });
    connect(process, &QProcess::finished, this,
        [this, process, said, given, path, end](int status, QProcess::ExitStatus how) {
            said->append(process->readAllStandardError());
            if (how == QProcess::NormalExit && status == 0) {
                emit finished(given, true);
                return;
            }
            end({DesktopFailure::Kind::Failed, path, how == QProcess::NormalExit ? status : -1,
                QString::fromLocal8Bit(*said).trimmed().toStdString()});
        });
    // Whether or not anyone still listens, the process goes once it is over.
    connect(process, &QProcess::finished, process, &QObject::deleteLater);
    connect(process, &QProcess::errorOccurred, process, [process](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            process->deleteLater();
    });
    process->start();
    return true;
}

void DesktopOpener::Report(const DesktopFailure& failure, const DesktopWording& wording)
{
    m_prompter.Show(wording ? wording(failure) : DesktopRefusal(failure));
}

Message DesktopRefusal(const DesktopFailure& failure)
{
    const bool folder = IsFolder(failure.path);
    const std::string what = std::string(folder ? "the folder " : "the file ") + failure.path;
    std::string why;
    if (failure.kind == DesktopFailure::Kind::Missing)
        why = "It does not exist.";
    else if (failure.kind == DesktopFailure::Kind::Unnamable)
        why = "Its name cannot be given to another program on this PC. Please open it by hand.";
    else
        why = folder ? "No file manager took it. Please open the folder by hand."
                     : "No program on this PC opens this kind of file. Please open it by hand.";
    return {"Open Error", "Unable to open " + what + " " + kLineBreak + why, MessageIcon::Exclamation,
        failure.kind == DesktopFailure::Kind::Missing ? std::string() : failure.Detail()};
}

} // namespace pellam
