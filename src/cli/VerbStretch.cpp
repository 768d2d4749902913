// pellam-cli stretch WAV OUT.wav SPEED: what the player hands the sound
// device when it plays WAV from start to end at SPEED, pitch kept, written to
// OUT.wav. The player itself plays, into a device that keeps every buffer it
// is given and reports it played at once.
#include "audio/ManualDispatcher.h"
#include "audio/RecordingDecode.h"
#include "audio/WAVPlayer.h"
#include "cli/Json.h"
#include "cli/Verbs.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace pellam::cli {
namespace {

class FileDevice final : public WaveOutBackend {
public:
    explicit FileDevice(std::ofstream& out) : m_out(out) { }
    std::int64_t Bytes() const { return m_bytes; }
    const WaveFormat& Format() const { return m_format; }

    bool Open(const WaveFormat& format, std::int32_t, DoneCallback onDone) override
    {
        m_format = format;
        m_done = std::move(onDone);
        return true;
    }
    void Close() override { m_done = nullptr; }
    void Write(std::uint64_t id, std::vector<std::uint8_t> bytes) override
    {
        m_out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        m_bytes += static_cast<std::int64_t>(bytes.size());
        if (m_done)
            m_done(id);
    }
    void Pause() override { }
    void Resume() override { }
    void Reset() override { }
    std::int64_t PositionMs() const override { return 0; }
    std::uint32_t Volume() const override { return 0xFFFFFFFFu; }
    void SetVolume(std::uint32_t) override { }
    std::uint32_t DeviceVolume(std::int32_t) const override { return 0xFFFFFFFFu; }
    void SetDeviceVolume(std::int32_t, std::uint32_t) override { }
    std::int32_t DeviceCount() const override { return 1; }
    bool DeviceCaps(std::int32_t device, WaveDeviceCaps& caps) const override
    {
        caps = {"File", 0x0100};
        return device == 0 || device == -1;
    }

private:
    std::ofstream& m_out;
    WaveFormat m_format;
    DoneCallback m_done;
    std::int64_t m_bytes = 0;
};

int Run(const Args& args)
{
    char* end = nullptr;
    const double speed = std::strtod(args[2].c_str(), &end);
    if (end == args[2].c_str() || *end != '\0' || !(speed >= TempoStream::kMinSpeed && speed <= TempoStream::kMaxSpeed))
        return Complain(args[2], "is no speed from 0.5 to 2.0");
    std::ofstream out(args[1], std::ios::binary | std::ios::trunc);
    if (!out)
        return Complain(args[1], "cannot be written");
    out.write(std::string(44, '\0').data(), 44); // the header, written when the size is known
    FileDevice device(out);
    ManualDispatcher loop;
    WAVPlayer player(device, loop);
    player.SetSpeed(speed);
    if (!player.FileOpen(args[0]))
        return Complain(args[0], "is no WAV file the player can open");
    bool ended = false;
    Subscription watch = player.EndOfStream.Subscribe([&] { ended = true; });
    if (!player.PlaybackStart())
        return Complain(args[0], "could not be played");
    while (!ended && loop.RunPending() > 0) { }
    const WaveFormat& format = device.Format();
    const auto header = PcmWavHeader(
        static_cast<int>(format.samplesPerSec), format.channels, static_cast<std::uint32_t>(device.Bytes()));
    out.seekp(0);
    out.write(reinterpret_cast<const char*>(header.data()), static_cast<std::streamsize>(header.size()));
    if (!out.flush())
        return Complain(args[1], "cannot be written");
    const double perSecond = static_cast<double>(format.avgBytesPerSec);
    Json json;
    json.BeginObject()
        .Field("speed", speed)
        .Field("inputSeconds", static_cast<double>(player.Duration()) / 1000.0)
        .Field("outputSeconds", perSecond > 0 ? static_cast<double>(device.Bytes()) / perSecond : 0.0)
        .EndObject();
    std::printf("%s\n", json.str().c_str());
    return kOk;
}

const VerbRegistrar reg("stretch", "WAV OUT.wav SPEED",
    "what the player sends to the sound device playing WAV at SPEED (0.5 to 2.0, pitch kept), written to OUT.wav",
    &Run);

} // namespace
} // namespace pellam::cli
