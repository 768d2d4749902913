#pragma once
// Runs the open of an incident for the main window: the open sequence, then
// the recording pass on a 20 ms timer until it ends. The model it fills is
// the window's; after each step the window is told to show it again. The
// evidence folder of an open that went through is remembered for the next
// open dialog.
#include "base/Message.h"
#include "base/Result.h"
#include "workspace/OpenIncident.h"

#include <QObject>
#include <QString>

#include <memory>
#include <thread>

class QTimer;

namespace pellam {

// The folder the open dialog starts in: that of the last incident opened,
// else the home folder.
QString OpenDialogFolder();

class IncidentOpenDriver final : public QObject {
    Q_OBJECT
public:
    IncidentOpenDriver(IncidentModel& model, QObject* parent = nullptr);
    ~IncidentOpenDriver() override;

    // Opens the incident of `eventFile` (a relative path is taken from the
    // current folder). A refused open gives its message box and leaves no
    // open behind; one that went through starts the pass's timer.
    Result<Opened, Message> Open(const QString& eventFile);
    // One step of the recording pass (the timer's); the end stops the timer.
    void tick();
    void Stop();

    // The open that went through, or none.
    const OpenIncident* open() const { return m_open.get(); }
    bool Loading() const { return m_open && !m_open->Finished(); }

signals:
    // The model changed: after an open, refused or not, and after each step.
    void changed();
    // The recording pass ended on a step.
    void passEnded();

private:
    IncidentModel& m_model;
    std::unique_ptr<OpenIncident> m_open;
    QTimer* m_timer;
    std::jthread m_remember; // the last folder being written to the settings
};

} // namespace pellam
