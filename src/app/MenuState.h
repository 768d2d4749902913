#pragma once
// The main menu's entries and their enabled/visible states as data: the view
// state derives them from the incident, the main menu renders them.
#include <array>
#include <cstddef>

namespace pellam {

enum class MenuEntry : int {
    OpenIncident,
    LogFileViewer,
    TextConversations,
    RecordViewer,
    Vistrel,
    Attachments,
    IntelUploadFiles,
    Statistics,
    Timeline,
    SearchEverything,
    Print,
    PrintMainLog,
    PrintNolLog,
    PrintAdminLog,
    PrintNppReport,
    About,
    Exit,
    OpenAnotherIncident, // a second copy of the program on another event file
    ExportHashManifest, // "File": the SHA-256 of every file of the evidence folder, into a file outside it
    CaseReport, // the examiner's case report as one PDF
    Notes, // the examiner's marks of the incident
};
inline constexpr std::size_t kMenuEntryCount = 21;

struct MenuItemState {
    bool enabled = false;
    bool visible = true;
    bool operator==(const MenuItemState&) const = default;
};

class MenuState {
public:
    MenuState(); // the states the window is designed with

    static const char* Caption(MenuEntry e);

    const MenuItemState& operator[](MenuEntry e) const { return m_items[static_cast<std::size_t>(e)]; }
    void SetEnabled(MenuEntry e, bool on) { m_items[static_cast<std::size_t>(e)].enabled = on; }
    void SetVisible(MenuEntry e, bool on) { m_items[static_cast<std::size_t>(e)].visible = on; }
    void Set(MenuEntry e, bool enabledAndVisible)
    {
        SetEnabled(e, enabledAndVisible);
        SetVisible(e, enabledAndVisible);
    }

    bool operator==(const MenuState&) const = default;

private:
    std::array<MenuItemState, kMenuEntryCount> m_items;
};

} // namespace pellam
