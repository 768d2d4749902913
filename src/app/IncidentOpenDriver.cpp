#include "app/IncidentOpenDriver.h"

#include "base/PathText.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTimer>

namespace pellam {
namespace {

// Where the program keeps what it remembers between runs.
QSettings Settings()
{
    return QSettings(QStringLiteral("NorvikTECH"), QStringLiteral("Pellam"));
}
const QString kLastIncidentFolder = QStringLiteral("LastIncidentFolder");

} // namespace

QString OpenDialogFolder()
{
    const QString last = Settings().value(kLastIncidentFolder).toString();
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    return QDir::homePath();
}

IncidentOpenDriver::IncidentOpenDriver(IncidentModel& model, QObject* parent)
    : QObject(parent), m_model(model), m_timer(new QTimer(this))
{
    m_timer->setObjectName("GetDirsTIM");
    m_timer->setInterval(20);
    connect(m_timer, &QTimer::timeout, this, &IncidentOpenDriver::tick);
}

IncidentOpenDriver::~IncidentOpenDriver() = default;

Result<Opened, Message> IncidentOpenDriver::Open(const QString& eventFile)
{
    // The probe's threads yield to this one, which steps the pass and repaints.
    m_open = std::make_unique<OpenIncident>(m_model, std::make_unique<ThreadedProbe>(true));
    // Recordings are read by the paths built from this one: it must not
    // depend on the current folder.
    auto opened = m_open->Open(MakeAbsolute(eventFile.toStdString()));
    if (!opened) {
        m_open.reset();
        emit changed();
        return opened;
    }
    // Remembered for the next open dialog. Writing the settings file can wait
    // on the disk for tens of milliseconds: not on the window's thread. A
    // write still running is waited for first, so the newest folder wins.
    m_remember = std::jthread([folder = QString::fromStdString(m_model.paths.Evidence.str())] {
        Settings().setValue(kLastIncidentFolder, folder);
    });
    emit changed();
    if (opened.value().passRunning)
        m_timer->start();
    return opened;
}

void IncidentOpenDriver::tick()
{
    if (!m_open)
        return;
    const bool more = m_open->tick();
    emit changed();
    if (!more) {
        m_timer->stop();
        emit passEnded();
    }
}

void IncidentOpenDriver::Stop()
{
    m_timer->stop();
}

} // namespace pellam
