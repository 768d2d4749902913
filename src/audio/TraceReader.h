#pragma once
// Reads the waveform of the decoded recording on a worker thread, so a large
// file never holds up the window, and hands the trace back on the dispatcher's
// thread. Only the newest request counts: a read still running for an older
// one is told to stop, and a result that comes back after a newer request (or
// after the reader is gone) is dropped, so a superseded file is never drawn.
// Every read is a joined thread: the reader joins the reads that have ended
// at each new request and, when it goes, stops and joins the rest.
#include "audio/Dispatcher.h"
#include "audio/WaveformTrace.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

namespace pellam {

class TraceReader {
public:
    using Trace = Result<WaveformTrace, TraceError>;
    using Done = std::function<void(const Trace& trace)>;

    // The dispatcher must outlive the reader.
    explicit TraceReader(Dispatcher& dispatcher);
    ~TraceReader();
    TraceReader(const TraceReader&) = delete;
    TraceReader& operator=(const TraceReader&) = delete;

    // Reads path in the background; done runs on the dispatcher's thread
    // unless Read or Cancel is called again first.
    void Read(const std::string& path, Done done);
    // Drops the request in hand.
    void Cancel();
    // A request has been made whose result has not been delivered yet.
    bool Pending() const;
    // Reads still run on worker threads, superseded ones included.
    bool Reading() const;

private:
    // What a read shares with the tasks it posts, which may run after the reader is gone.
    struct Shared {
        std::mutex mutex; // guards dispatcher against the reader's end
        Dispatcher* dispatcher = nullptr;
        std::atomic<std::uint64_t> wanted {0}; // the request that counts
        std::uint64_t delivered = 0; // touched on the dispatcher's thread only
        std::atomic<int> reading {0}; // reads begun and not yet ended
    };
    struct Worker {
        std::unique_ptr<std::atomic<bool>> ended;
        std::jthread thread;
    };
    static void Work(const std::shared_ptr<Shared>& shared, std::uint64_t request, const std::string& path,
        const Done& done, const std::stop_token& stop);
    // Joins the reads that have ended.
    void JoinEnded();

    std::shared_ptr<Shared> m_shared;
    std::uint64_t m_next = 0;
    std::vector<Worker> m_workers;
};

} // namespace pellam
