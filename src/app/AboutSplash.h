#pragma once
// The About window's behaviour as data. At start-up it serves as a splash
// screen: a 400 ms timer steps a progress bar 2, 3, ... 7 and closes the
// window on the 7th tick (2.8 s). Opened from the menu it shows no bar and
// runs no timer.
#include <string>

namespace pellam {

class AboutSplash {
public:
    static constexpr int kTickMs = 400;
    static constexpr int kProgressMax = 7;

    // splashShown: the window has served as splash already (opened from the menu).
    explicit AboutSplash(bool splashShown);

    bool isSplash() const { return m_splash; }
    bool timerRunning() const { return m_timerRunning; }
    bool progressVisible() const { return m_progressVisible; }
    int progress() const { return m_progress; }
    // The splash is over: the window closes and the main window's start-up timer starts.
    bool finished() const { return m_finished; }

    void tick();

    static std::string VersionText(); // "v7.54 - 2025"

private:
    bool m_splash;
    bool m_timerRunning = false;
    bool m_progressVisible = false;
    int m_progress = 0;
    int m_ticks = 0;
    bool m_finished = false;
};

} // namespace pellam
