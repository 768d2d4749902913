#include "audio/Transport.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace pellam {

void Transport::StepSpeed(int tenths)
{
    // Counted in whole tenths, so ten steps up and ten down come back to 1.0 exactly.
    const long now = std::lround(m_player.Speed() * 10);
    m_player.SetSpeed(static_cast<double>(std::clamp(now + tenths, 5L, 20L)) / 10);
}

void Transport::Slower()
{
    StepSpeed(-1);
}

void Transport::Faster()
{
    StepSpeed(+1);
}

void Transport::NormalSpeed()
{
    m_player.SetSpeed(1.0);
}

std::string Transport::SpeedText() const
{
    const long tenths = std::lround(m_player.Speed() * 10);
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "\u00d7";
}

void Transport::Jump(std::int32_t deltaMs)
{
    if (!m_player.IsFileOpen())
        return;
    const std::int64_t target = std::int64_t {m_player.Position()} + deltaMs;
    m_player.SeekExact(static_cast<std::int32_t>(std::clamp<std::int64_t>(target, 0, m_player.Duration())));
}

bool Transport::Replay()
{
    if (!m_player.IsFileOpen())
        return false;
    Jump(-kReplayMs);
    return m_player.Status() == PlayerStatus::Playing || m_player.PlaybackStart();
}

std::optional<std::int32_t> Transport::PendingA() const
{
    return m_pendingIn == m_player.Generation() ? m_pendingA : std::nullopt;
}

LoopPress Transport::PressLoop()
{
    if (!m_player.IsFileOpen()) {
        m_pendingA.reset();
        return LoopPress::NoRecording;
    }
    if (m_player.Loop()) {
        m_player.SetLoop(std::nullopt);
        m_pendingA.reset();
        return LoopPress::Cleared;
    }
    const std::int32_t here = m_player.Position();
    const std::optional<std::int32_t> a = PendingA();
    if (!a) {
        m_pendingA = here;
        m_pendingIn = m_player.Generation();
        return LoopPress::MarkedA;
    }
    if (std::abs(here - *a) < kShortestLoopMs)
        return LoopPress::TooShort;
    // B before A (after a jump back) loops the same stretch.
    const LoopRange range {std::min(here, *a), std::max(here, *a)};
    m_pendingA.reset();
    m_player.SetLoop(range);
    return LoopPress::Looping;
}

} // namespace pellam
