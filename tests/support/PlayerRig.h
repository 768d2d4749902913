#pragma once
// A player on the virtual sound device, with files whose samples tell where
// in the file they came from, for the player and transport tests.
#include "audio/WAVPlayer.h"
#include "support/VirtualWaveBackend.h"
#include "support/WavFiles.h"

#include <algorithm>
#include <vector>

namespace pellam::test {

using Samples = std::vector<std::int16_t>;

inline constexpr std::uint32_t kRigRate = 8000; // mono 16-bit: 16000 bytes a second

// Mono samples whose value is the number of the second they belong to.
inline Samples SecondMarks(std::uint32_t seconds, std::uint32_t rate = kRigRate)
{
    Samples s(std::size_t {rate} * seconds);
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<std::int16_t>(i / rate);
    return s;
}

// Samples whose value is their frame's number modulo 30000, on every channel.
inline Samples FrameNumbers(std::size_t frames, unsigned channels)
{
    Samples s(frames * channels);
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<std::int16_t>((i / channels) % 30000);
    return s;
}

struct PlayerRig {
    TempDir dir;
    VirtualWaveBackend backend;
    ManualDispatcher loop;
    WAVPlayer player {backend, loop};
    std::vector<std::int32_t> statuses;
    int ends = 0;
    Subscription statusWatch
        = player.StatusChanged.Subscribe([this](PlayerStatus s) { statuses.push_back(static_cast<std::int32_t>(s)); });
    Subscription endWatch = player.EndOfStream.Subscribe([this] { ++ends; });

    std::string File(const Samples& samples, unsigned channels = 1, std::uint32_t rate = kRigRate)
    {
        return dir.write("a.wav", PcmWav(channels, rate, Samples16(samples)));
    }
    // Opens a file of `seconds` second marks and starts playing it.
    bool Start(std::uint32_t seconds) { return player.FileOpen(File(SecondMarks(seconds))) && player.PlaybackStart(); }
    // Lets ms of sound play in 10 ms steps, delivering finished buffers between steps.
    void Pump(int ms)
    {
        for (int t = 0; t < ms; t += 10) {
            backend.Advance(10);
            loop.RunPending();
        }
    }
    // Pumps until the end of the stream; returns the ms of sound it took.
    int PumpUntilEnd(int limitMs = 600000)
    {
        int played = 0;
        for (const int before = ends; played < limitMs && ends == before; played += 10)
            Pump(10);
        return played;
    }
    // Samples played from byte offset `from` of the backend's record on.
    Samples Played(std::size_t from = 0) const
    {
        return ToSamples(std::vector<std::uint8_t>(
            backend.Played().begin() + static_cast<std::ptrdiff_t>(from), backend.Played().end()));
    }
    // Whether everything played from `from` on came from second `second` of the file.
    bool AllFromSecond(std::size_t from, std::int16_t second) const
    {
        const auto s = Played(from);
        return !s.empty() && std::count(s.begin(), s.end(), second) == static_cast<std::ptrdiff_t>(s.size());
    }
};

} // namespace pellam::test
