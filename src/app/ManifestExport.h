#pragma once
// "File" → "Export Hash Manifest…": asks where to write, hashes every file of
// the evidence folder on background threads while a timer watches the work,
// and writes what `pellam-cli manifest` prints: the sha256sum lines, or the
// DFXML document for a name ending in ".xml". The manifest never goes into
// the evidence folder.
#include "app/ViewState.h"
#include "base/FolderPath.h"
#include "base/Prompter.h"
#include "checksums/HashManifest.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

namespace pellam {

class Shell;

class ManifestExport final : public QObject {
    Q_OBJECT
public:
    static constexpr int kTickMs = 20;

    ManifestExport(Shell& shell, Prompter& prompter, QWidget* window);
    ~ManifestExport() override;

    // Asks for the file and starts the hashing of `evidence`; nothing more when
    // the dialog is cancelled, the file would lie in the evidence folder (said
    // through the prompter) or an export is running already.
    void Begin(const FolderPath& evidence, const std::string& caseNumber);
    // Ends a running export without writing anything.
    void Cancel();
    bool Running() const { return m_hashing != nullptr; }
    // How far the hashing is, by bytes, as the main window's progress bar shows it.
    ProgressBar Progress() const;

    // The timer's step: once the hashing has finished, writes the file and
    // says what could not be hashed.
    void ManifestTick();

signals:
    // The progress moved, or the export began or ended.
    void changed();

private:
    void Write();

    Shell& m_shell;
    Prompter& m_prompter;
    QWidget* m_window;
    QTimer m_timer {this};
    std::unique_ptr<ManifestHashing> m_hashing;
    std::vector<ManifestProblem> m_listingProblems;
    FolderPath m_evidence;
    QString m_target;
};

} // namespace pellam
