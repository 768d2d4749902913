#pragma once
// Where the recording pass gets its slow answers: each recording's duration
// text and its confirmed CRC text with the SHA-256 of the same read. The pass asks again and again, from timer
// ticks, and takes "nothing yet" as "ask again later"; so the answers may be
// worked out on the calling thread or elsewhere.
#include "checksums/CrcText.h"
#include "checksums/clsCRC.h"
#include "media/Mp3Duration.h"
#include "workspace/ReadAhead.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

namespace pellam {

class RecordingProbe {
public:
    virtual ~RecordingProbe() = default;
    // Called once, before any question, with every recording's full path in
    // recording order; question i is about paths[i].
    virtual void Start(const std::vector<std::string>& paths) = 0;
    // The duration text ("mm:ss" or "??:??") with its note, or nothing while
    // not known yet.
    virtual std::optional<DurationAnswer> Duration(std::size_t i) = 0;
    // The CRC text and SHA-256 (GetStableSums), or nothing while not known yet.
    virtual std::optional<StableSums> Checksums(std::size_t i) = 0;
    // Returns once the last question that went unanswered may have an answer,
    // or after `timeout`: lets a loop without a timer poll at a timer's pace
    // without spinning.
    virtual void Wait(std::chrono::milliseconds timeout) { (void)timeout; }
};

// Works each answer out the first time it is asked for, on the asking thread.
class SequentialProbe final : public RecordingProbe {
public:
    void Start(const std::vector<std::string>& paths) override;
    std::optional<DurationAnswer> Duration(std::size_t i) override;
    std::optional<StableSums> Checksums(std::size_t i) override;

private:
    std::vector<std::string> m_paths;
    std::vector<std::optional<DurationAnswer>> m_durations;
    std::vector<std::optional<StableSums>> m_crcs;
    clsCRC m_crc;
};

// Works the answers out on background threads (two, or one per core up to
// four), each with its own CRC engine. The threads share one queue in
// recording order, a recording's duration and then its CRC, right behind a
// read-ahead that brings the recordings into memory one after another: each
// byte comes from the device once, in the order the folder lists it, and the
// duration scan and the four CRC readings are served from memory. The pass,
// which asks for the durations in recording order and then the CRCs, finds
// its answers in the order it asks. A question whose answer is not there yet
// gets nothing. The destructor stops the threads inside the file they read,
// at the next block and joins them.
class ThreadedProbe final : public RecordingProbe {
public:
    // Yielding threads run at a lower scheduling priority than the thread
    // that asks, so a window that asks from its event loop keeps its turns
    // while they keep every core busy. Without `sha256` the answers carry the
    // CRC text alone (what the open cost before recordings were hashed, for
    // the benchmark to set beside it).
    explicit ThreadedProbe(bool yielding = false, bool sha256 = true) : m_yielding(yielding), m_sha256(sha256) { }
    ~ThreadedProbe() override;
    ThreadedProbe(const ThreadedProbe&) = delete;
    ThreadedProbe& operator=(const ThreadedProbe&) = delete;

    void Start(const std::vector<std::string>& paths) override;
    std::optional<DurationAnswer> Duration(std::size_t i) override;
    std::optional<StableSums> Checksums(std::size_t i) override;
    void Wait(std::chrono::milliseconds timeout) override;

private:
    enum Kind { kDuration, kCrc };
    template<typename T>
    std::optional<T> Take(Kind kind, std::size_t i, const std::vector<std::optional<T>>& answers);
    bool Answered(Kind kind, std::size_t i) const; // with the mutex held
    void Run(const std::stop_token& stop);
    void Stop();

    std::vector<std::string> m_paths; // fixed once the threads run
    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::vector<std::optional<DurationAnswer>> m_durations;
    std::vector<std::optional<StableSums>> m_crcs;
    std::size_t m_next = 0; // the next job: 2i the duration of recording i, 2i + 1 its CRC
    bool m_stopped = false; // with the mutex held: the threads were told to stop
    std::optional<std::pair<Kind, std::size_t>> m_waitingFor; // the last unanswered question
    std::unique_ptr<ReadAhead> m_readAhead; // outlives the threads, which tell it their progress
    std::vector<std::jthread> m_threads;
    const bool m_yielding;
    const bool m_sha256;
};

} // namespace pellam
