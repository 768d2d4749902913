#include "workspace/OpenIncident.h"

#include "workspace/SysConfig.h"

namespace pellam {

Message LoadErrorMessage()
{
    return Message {"Load Error",
        std::string("Error Loading Event!      ") + kLineBreak
            + "The Pellam Program was unable to negotiate the file paths for this event.",
        MessageIcon::Critical};
}

OpenIncident::OpenIncident(Session& session, std::unique_ptr<RecordingProbe> probe)
    : m_session(session), m_probe(probe ? std::move(probe) : std::make_unique<ThreadedProbe>()),
      m_pass(session, *m_probe)
{ }

std::optional<Message> OpenIncident::Open(const std::string& eventFile)
{
    Session& s = m_session;
    s.newLoad.EventFile = eventFile;
    if (!SplitEventPath(s.newLoad, s.paths)) {
        s.menus.SetEnabled(MenuEntry::OpenIncident, true);
        return LoadErrorMessage();
    }
    Dir1_Change(s);
    if (auto refusal = LoadSysConfig(s.paths.Evidence, s.roles)) {
        s.menus.SetEnabled(MenuEntry::OpenIncident, true);
        s.Hourglass = false;
        return refusal;
    }
    SetRoleNames(s.paths.Evidence, s.roles);
    s.Hourglass = true;
    m_pass.GetAllDurations();

    // The print entries follow the log paths as they are now: negotiated when
    // FinishLoadUp already ran (no recording), still unset while the pass runs,
    // in which case FinishLoadUp's negotiation later only sets their visibility.
    s.Hourglass = !m_pass.Finished();
    s.menus.Set(MenuEntry::PrintMainLog, true);
    s.menus.Set(MenuEntry::PrintNolLog, s.paths.NocLog != kNone);
    s.menus.Set(MenuEntry::PrintAdminLog, s.paths.AdminLog != kNone);
    s.menus.Set(MenuEntry::PrintNppReport, s.paths.NppReport != kNone);
    s.menus.SetEnabled(MenuEntry::OpenIncident, false);
    return std::nullopt;
}

void OpenIncident::RunToEnd()
{
    while (tick())
        Wait(std::chrono::milliseconds(20));
}

} // namespace pellam
