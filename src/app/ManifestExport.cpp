#include "app/ManifestExport.h"

#include "app/Shell.h"
#include "base/Cp1252.h"
#include "base/PathText.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QWidget>

#include <algorithm>

namespace pellam {
namespace {

constexpr const char* kTitle = "Export Hash Manifest";
// The bar counts in thousandths: a folder's bytes overflow its int.
constexpr int kProgressSteps = 1000;

std::string Shown(const std::string& path)
{
    return ValidUtf8(path);
}

// What could not be hashed: a few names in the text, every one with its reason in the detail.
Message WrittenWithProblems(
    const Message& written, const std::vector<ManifestProblem>& problems, const FolderPath& evidence)
{
    Message box = written;
    box.icon = MessageIcon::Exclamation;
    box.text += kLineBreak + std::string(kLineBreak) + std::to_string(problems.size())
        + (problems.size() == 1 ? " file" : " files") + " could not be hashed and "
        + (problems.size() == 1 ? "is" : "are") + " not in it:";
    for (std::size_t i = 0; i < problems.size() && i < 5; ++i)
        box.text += kLineBreak + Shown(problems[i].path);
    if (problems.size() > 5)
        box.text += kLineBreak + std::string("and ") + std::to_string(problems.size() - 5) + " more";
    for (const auto& problem : problems)
        box.detail += Shown(evidence.Join(problem.path)) + ": " + problem.error.text + "\n";
    return box;
}

} // namespace

ManifestExport::ManifestExport(Shell& shell, Prompter& prompter, QWidget* window)
    : QObject(window), m_shell(shell), m_prompter(prompter), m_window(window)
{
    m_timer.setObjectName("ManifestTIM");
    m_timer.setInterval(kTickMs);
    connect(&m_timer, &QTimer::timeout, this, &ManifestExport::ManifestTick);
}

ManifestExport::~ManifestExport() = default;

void ManifestExport::Begin(const FolderPath& evidence, const std::string& caseNumber)
{
    if (Running() || evidence.empty())
        return;
    std::string name = caseNumber.empty() ? std::string("manifest") : caseNumber + "-manifest";
    std::replace(name.begin(), name.end(), '/', '_');
    const QString target
        = m_shell.ChooseSaveFile({kTitle, QDir::home().filePath(QString::fromStdString(name) + ".sha256"),
                                     "SHA-256 Manifests (*.sha256);;DFXML Documents (*.xml)", "sha256"},
            m_window);
    if (target.isEmpty())
        return;
    const std::string path = QFile::encodeName(target).toStdString();
    if (LiesWithin(evidence.str(), path, true))
        return m_prompter.Show({kTitle,
            "The manifest is not written into the evidence folder, which is only ever read:" + std::string(kLineBreak)
                + Shown(path) + kLineBreak + kLineBreak + "Choose a place outside " + Shown(evidence.WithSeparator())
                + ".",
            MessageIcon::Exclamation});
    auto listed = ListFolderFiles(evidence.str());
    if (!listed)
        return m_prompter.Show({kTitle,
            "The evidence folder cannot be listed:" + std::string(kLineBreak) + Shown(evidence.WithSeparator()),
            MessageIcon::Critical, listed.error().text});

    m_evidence = evidence;
    m_target = target;
    m_listingProblems = std::move(listed.value().problems);
    m_hashing = std::make_unique<ManifestHashing>(evidence.str(), std::move(listed.value().files), kManifestThreads);
    m_timer.start();
    emit changed();
}

void ManifestExport::Cancel()
{
    if (!Running())
        return;
    m_timer.stop();
    m_hashing.reset(); // stops and joins the threads
    emit changed();
}

ProgressBar ManifestExport::Progress() const
{
    if (!m_hashing || m_hashing->BytesTotal() == 0)
        return {kProgressSteps, 0};
    const double done = static_cast<double>(m_hashing->BytesDone()) / static_cast<double>(m_hashing->BytesTotal());
    return {kProgressSteps, static_cast<int>(done * kProgressSteps)};
}

void ManifestExport::ManifestTick()
{
    if (!m_hashing)
        return m_timer.stop();
    if (m_hashing->Finished()) {
        m_timer.stop();
        Write();
        m_hashing.reset();
    }
    emit changed();
}

void ManifestExport::Write()
{
    const auto& entries = m_hashing->Entries();
    const bool dfxml = m_target.endsWith(".xml", Qt::CaseInsensitive);
    const std::string text = dfxml ? DfxmlText(entries) : Sha256sumText(entries);
    const std::string path = QFile::encodeName(m_target).toStdString();
    QSaveFile file(m_target);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), static_cast<qint64>(text.size())) < 0
        || !file.commit())
        return m_prompter.Show({kTitle, "The manifest could not be written:" + std::string(kLineBreak) + Shown(path),
            MessageIcon::Critical, file.errorString().toStdString()});

    const auto problems = AllProblems(m_listingProblems, entries);
    const auto hashed = static_cast<std::size_t>(
        std::count_if(entries.begin(), entries.end(), [](const ManifestEntry& e) { return !e.error; }));
    const Message written {kTitle,
        "The SHA-256 of " + std::to_string(hashed) + (hashed == 1 ? " file" : " files") + " of "
            + Shown(m_evidence.WithSeparator()) + " was written to" + kLineBreak + Shown(path),
        MessageIcon::Information};
    m_prompter.Show(problems.empty() ? written : WrittenWithProblems(written, problems, m_evidence));
}

} // namespace pellam
