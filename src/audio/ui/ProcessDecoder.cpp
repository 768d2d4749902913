#include "audio/ui/ProcessDecoder.h"

#include "base/FileDescriptor.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>

#include <unistd.h>

namespace pellam {

ProcessDecoder::ProcessDecoder(QString programFolder) : m_folder(std::move(programFolder)) { }

ProcessDecoder::~ProcessDecoder()
{
    // A decoder still writing the temporary file dies with the program.
    for (auto& p : m_processes) {
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(2000);
        }
    }
}

QString ProcessDecoder::Locate(const std::string& program) const
{
    const QString name = QString::fromStdString(program);
    const QString folder = m_folder.isEmpty() ? QCoreApplication::applicationDirPath() : m_folder;
    const QFileInfo beside(QDir(folder).filePath(name));
    if (beside.isFile())
        return beside.absoluteFilePath();
    return QStandardPaths::findExecutable(name);
}

DecoderStart ProcessDecoder::Start(const std::string& program, const std::vector<std::string>& args)
{
    std::erase_if(m_processes, [](const auto& p) { return p->state() == QProcess::NotRunning; });

    const QString path = Locate(program);
    if (path.isEmpty())
        return {DecoderStart::Outcome::Missing, SystemError(ENOENT)};
    if (!QFileInfo(path).isExecutable())
        return {DecoderStart::Outcome::Failed, SystemError(EACCES)};

    // The recording (the argument after "--decode") is opened here and
    // given to the decoder as its standard input ("-"), not by its name:
    // - a process's arguments are QStrings, and a name that is not valid
    //   UTF-8 (a Latin-1 "Peña") would reach the decoder as another name;
    //   the descriptor is the file itself, whatever its name's bytes;
    // - the open is ours: only a regular file, and its access time is kept;
    // - no name can be taken for an option or split at a line break.
    // Reading standard input, the decoder is told the input is MP3
    // (--mp3input), which it otherwise infers from the name's ".mp3"; it
    // writes the same samples either way. Every other argument must survive
    // the QString round trip byte for byte, or nothing is started.
    FileDescriptor source;
    QStringList list;
    bool sourceNext = false;
    for (const std::string& a : args) {
        if (sourceNext) {
            auto opened = FileDescriptor::OpenForReading(a);
            if (!opened)
                return {DecoderStart::Outcome::Failed, opened.error()};
            source = std::move(opened).value();
            list << "--mp3input"
                 << "-";
            sourceNext = false;
            continue;
        }
        sourceNext = a == "--decode";
        const QString arg = QFile::decodeName(a.c_str());
        if (a.find('\0') != std::string::npos || QFile::encodeName(arg).toStdString() != a)
            return {DecoderStart::Outcome::Failed, SystemError(EILSEQ)};
        list << arg;
    }
    auto process = std::make_unique<QProcess>();
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->setStandardInputFile(QProcess::nullDevice());
    if (source.valid()) {
        // Runs in the child between fork and exec, after its standard
        // channels are set: the recording replaces the null device. Only
        // async-signal-safe calls here.
        process->setChildProcessModifier([fd = source.get()] {
            if (::dup2(fd, STDIN_FILENO) < 0)
                ::_exit(127);
        });
    }
    process->start(path, list, QIODevice::NotOpen);
    if (!process->waitForStarted())
        return {DecoderStart::Outcome::Failed, SystemError::Content(process->errorString().toStdString())};
    m_processes.push_back(std::move(process));
    return {DecoderStart::Outcome::Started, {}};
}

bool ProcessDecoder::IsRunning() const
{
    return std::any_of(
        m_processes.begin(), m_processes.end(), [](const auto& p) { return p->state() != QProcess::NotRunning; });
}

} // namespace pellam
