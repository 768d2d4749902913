#pragma once
// The sound device of the program: a QAudioSink on the system's sound server,
// in push mode: a short timer writes as much of the queued buffers as the
// sink has room for, in order. A buffer counts as finished once the sink's
// processed time has passed its last byte, which the same timer checks.
#include "audio/WaveOutBackend.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QTimer>

#include <deque>
#include <map>
#include <memory>

namespace pellam {

class QtWaveBackend final : public WaveOutBackend {
public:
    QtWaveBackend();
    ~QtWaveBackend() override;

    bool Open(const WaveFormat& format, std::int32_t device, DoneCallback onDone) override;
    void Close() override;
    void Write(std::uint64_t id, std::vector<std::uint8_t> bytes) override;
    void Pause() override;
    void Resume() override;
    void Reset() override;
    std::int64_t PositionMs() const override;

    std::uint32_t Volume() const override;
    void SetVolume(std::uint32_t leftRight) override;
    std::uint32_t DeviceVolume(std::int32_t device) const override;
    void SetDeviceVolume(std::int32_t device, std::uint32_t leftRight) override;

    std::int32_t DeviceCount() const override;
    bool DeviceCaps(std::int32_t device, WaveDeviceCaps& caps) const override;

private:
    class Queue;
    struct Pending {
        std::uint64_t id;
        std::int64_t end; // byte offset since the last reset just past this buffer
    };

    QAudioDevice DeviceAt(std::int32_t device) const;
    std::int64_t PlayedBytes() const;
    void Poll();
    void Feed();
    bool StartSink();
    void ApplyVolume();

    std::unique_ptr<Queue> m_queue;
    std::unique_ptr<QAudioSink> m_sink;
    QIODevice* m_input = nullptr; // the sink's own input device; a restart replaces it
    QTimer m_poll;
    WaveFormat m_format;
    std::int32_t m_device = -1;
    bool m_paused = true;
    DoneCallback m_onDone;
    std::deque<Pending> m_pending;
    std::int64_t m_written = 0; // bytes queued since the last reset
    std::int64_t m_lastPlayed = -1;
    int m_stalledPolls = 0;
    std::map<std::int32_t, std::uint32_t> m_volumes;
};

} // namespace pellam
