#pragma once
// The decode of one recording in the background, from its first frame to its
// last: a scan of the frame headers first (the exact length and a seek table,
// handed to the stream that plays meanwhile), then the audio, written into a
// WAV file in the working folder when there is one to keep and traced for the
// waveform either way. At the end the recording's size, modification time
// and CRC-32 are taken as the decoded file's key, unless the recording changed
// while it was decoded.
//
// The work is done in steps: on a thread of its own, or on each Step() where
// the caller drives it. Only a few seconds of audio are held at a time.
#include "audio/WaveformTrace.h"
#include "base/FileDescriptor.h"
#include "media/Mp3Decoder.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

namespace pellam {

// What identifies a recording's content: its size, its modification time (ns)
// and its CRC-32.
struct RecordingKey {
    std::int64_t size = -1;
    std::int64_t modifiedNs = 0;
    std::int32_t crc = 0;
    bool operator==(const RecordingKey&) const = default;
};

// Size and modification time as the system has them now; nullopt when it
// cannot say.
struct FileStamp {
    std::int64_t size = -1;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0; // the inode's change time: any write moves it
    bool operator==(const FileStamp&) const = default;
};
std::optional<FileStamp> StampOf(const std::string& path);

// The 44-byte header of a 16-bit PCM WAV file holding dataBytes of samples.
std::vector<std::uint8_t> PcmWavHeader(int rate, int channels, std::uint32_t dataBytes);
// The most sample bytes a WAV file can state.
inline constexpr std::int64_t kMaxWavData = 0xFFFFFFFFLL - 36;

enum class DecodePhase { Opening, Scanning, Decoding, Finishing, Done, Failed, Stopped };

struct DecodeStatus {
    DecodePhase phase = DecodePhase::Opening;
    int rate = 0;
    int channels = 0;
    // Samples per channel: exact once scanned, the decoded count once done; -1 unknown.
    std::int64_t length = -1;
    std::int64_t decoded = 0;
    // What the scan found, kept when the decode ends short of it; -1 unknown.
    std::int64_t scanned = -1;
    // Why the decode ended before the recording's end; "" when it reached it.
    std::string failure;
    // The decoded file is kept (wavPath, complete) for the cache to take.
    bool kept = false;
    // Why it is not kept, when one was asked for.
    std::string notKept;
    std::optional<RecordingKey> key; // once done
    bool Ended() const
    {
        return phase == DecodePhase::Done || phase == DecodePhase::Failed || phase == DecodePhase::Stopped;
    }
};

class RecordingDecode {
public:
    // Decodes recording; keeps the result in wavPath (created anew) unless it
    // is empty. Threaded: the work runs at once on a thread of its own.
    RecordingDecode(std::string recording, std::string wavPath, bool threaded = true);
    // Stops the work and waits for it (one step at most); a decoded file that
    // was not taken over is deleted.
    ~RecordingDecode();
    RecordingDecode(const RecordingDecode&) = delete;
    RecordingDecode& operator=(const RecordingDecode&) = delete;

    // One piece of work; false once the decode has ended.
    bool Step();
    // Ends the work at its next step (a scan at its next read).
    void Stop();

    const std::string& WavPath() const { return m_wavPath; }
    DecodeStatus Status() const;
    // The length in Status is the scan's or the finished decode's, not the
    // estimate from the encoder's tag or the file's size.
    bool LengthExact() const;
    std::shared_ptr<const DecodedTrace> Trace() const { return m_trace; }
    // The seek table of the scan; empty before it ended.
    Mp3FrameIndex Index() const;
    // The caller takes the kept file over: it is no longer deleted here.
    void ReleaseFile();
    bool Released() const { return m_released; }

private:
    void Open();
    void Scan();
    void Decode();
    void Finish();
    void DropFile(const std::string& why);
    void RemoveFile();
    void End(DecodePhase phase, const std::string& failure = {});

    const std::string m_recording;
    const std::string m_wavPath;
    std::stop_source m_stop;
    std::unique_ptr<Mp3Decoder> m_decoder;
    std::optional<FileStamp> m_stampBefore;
    FileDescriptor m_file; // the WAV file being written
    std::int64_t m_written = 0;
    std::unique_ptr<TraceBuilder> m_traceBuilder;
    std::shared_ptr<DecodedTrace> m_trace = std::make_shared<DecodedTrace>();
    std::vector<std::uint8_t> m_buffer;
    bool m_released = false;
    bool m_created = false; // wavPath is a file this decode made

    mutable std::mutex m_mutex; // guards what the window's thread reads
    DecodeStatus m_status;
    Mp3FrameIndex m_index;

    std::jthread m_thread; // last: it starts once everything above is set up
};

} // namespace pellam
