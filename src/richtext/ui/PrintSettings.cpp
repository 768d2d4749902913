#include "richtext/ui/PrintSettings.h"

#include "richtext/PrintFooter.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace pellam {
namespace {

QSettings Settings()
{
    return QSettings(QStringLiteral("NorvikTECH"), QStringLiteral("Pellam"));
}
const QString kExaminer = QStringLiteral("Examiner");
const QString kLastPrintFolder = QStringLiteral("LastPrintFolder");

} // namespace

std::optional<std::string> KnownExaminer()
{
    if (std::string name; ExaminerFromEnvironment(name))
        return name;
    const QString remembered = Settings().value(kExaminer).toString().trimmed();
    if (remembered.isEmpty())
        return std::nullopt;
    return remembered.toStdString();
}

void RememberExaminer(const std::string& name)
{
    Settings().setValue(kExaminer, QString::fromStdString(name));
}

QString LastPrintFolder()
{
    const QString last = Settings().value(kLastPrintFolder).toString();
    return !last.isEmpty() && QFileInfo(last).isDir() ? last : QDir::homePath();
}

void RememberPrintFolder(const QString& folder)
{
    Settings().setValue(kLastPrintFolder, folder);
}

QString SuggestedPdfPath(const QString& folder, const std::string& caseNumber, const std::string& document)
{
    QString name = QString::fromStdString(caseNumber.empty() ? document : caseNumber + "-" + document);
    for (QChar& c : name)
        if (c == '/' || c == '\\' || c == ':' || c.category() == QChar::Other_Control)
            c = '_';
    return QDir(folder).filePath(name + ".pdf");
}

} // namespace pellam
