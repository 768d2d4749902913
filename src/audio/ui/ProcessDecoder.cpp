#include "audio/ui/ProcessDecoder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>

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
        return {DecoderStart::Outcome::Missing, ENOENT};
    if (!QFileInfo(path).isExecutable())
        return {DecoderStart::Outcome::Failed, EACCES};

    QStringList list;
    for (const std::string& a : args)
        list << QString::fromStdString(a);
    auto process = std::make_unique<QProcess>();
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->setStandardInputFile(QProcess::nullDevice());
    process->start(path, list, QIODevice::NotOpen);
    if (!process->waitForStarted())
        return {DecoderStart::Outcome::Failed, static_cast<int>(process->error())};
    m_processes.push_back(std::move(process));
    return {DecoderStart::Outcome::Started, 0};
}

bool ProcessDecoder::IsRunning() const
{
    return std::any_of(
        m_processes.begin(), m_processes.end(), [](const auto& p) { return p->state() != QProcess::NotRunning; });
}

} // namespace pellam
