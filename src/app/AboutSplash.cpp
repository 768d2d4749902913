#include "app/AboutSplash.h"

#include "base/Version.h"

namespace pellam {

AboutSplash::AboutSplash(bool splashShown) : m_splash(!splashShown)
{
    if (m_splash) {
        m_timerRunning = true;
        m_progressVisible = true;
        m_progress = 0;
    }
}

void AboutSplash::tick()
{
    if (!m_timerRunning)
        return;
    ++m_ticks;
    if (m_ticks > 6) {
        m_timerRunning = false;
        m_finished = true;
    }
    // Values above the bar's maximum are ignored.
    if (m_ticks < 8 && m_ticks + 1 <= kProgressMax)
        m_progress = m_ticks + 1;
}

std::string AboutSplash::VersionText()
{
    return std::string("v") + kAppVersion + " - 2025";
}

} // namespace pellam
