#pragma once
// The controls of close listening, on top of the player: speed in steps of
// 0.1 with the pitch kept, jumps back and forward, replay of the last few
// seconds and an A–B loop set by three presses of one key. The player keeps
// every time in the recording's own time, so these only move it.
#include "audio/WAVPlayer.h"

#include <cstdint>
#include <optional>
#include <string>

namespace pellam {

inline constexpr std::int32_t kShortJumpMs = 5000;
inline constexpr std::int32_t kLongJumpMs = 30000;
inline constexpr std::int32_t kReplayMs = 3000;
// A and B closer than this make no loop: nothing could be heard in it.
inline constexpr std::int32_t kShortestLoopMs = 100;

// What a press of the loop key did.
enum class LoopPress {
    MarkedA, // A is set at the position; the next press sets B
    Looping, // B is set: A to B plays over and over
    Cleared, // the third press: no loop, no A
    TooShort, // B at A (or too close): A stays set, the press is refused
    NoRecording, // nothing open to loop in
};

class Transport {
public:
    explicit Transport(WAVPlayer& player) : m_player(player) { }

    // One step slower or faster, held to 0.5 and 2.0; back to 1.0.
    void Slower();
    void Faster();
    void NormalSpeed();
    // "1.0×": the speed as the panel shows it.
    std::string SpeedText() const;

    // Moves the position by deltaMs, never past either end of the recording.
    void Jump(std::int32_t deltaMs);
    // Back kReplayMs and plays; false when there is nothing to play.
    bool Replay();

    LoopPress PressLoop();
    // A while it waits for B, in the file it was set in.
    std::optional<std::int32_t> PendingA() const;

private:
    void StepSpeed(int tenths);

    WAVPlayer& m_player;
    std::optional<std::int32_t> m_pendingA;
    std::uint64_t m_pendingIn = 0; // the player's file generation A belongs to
};

} // namespace pellam
