#include "audio/TraceReader.h"

#include <algorithm>
#include <system_error>

namespace pellam {

TraceReader::TraceReader(Dispatcher& dispatcher) : m_shared(std::make_shared<Shared>())
{
    m_shared->dispatcher = &dispatcher;
}

TraceReader::~TraceReader()
{
    // Results posted already find no dispatcher and are dropped; running
    // reads stop at their next check and post nothing.
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->dispatcher = nullptr;
        m_shared->wanted = 0;
    }
    for (auto& w : m_workers)
        w.thread.request_stop();
    m_workers.clear(); // joins
}

void TraceReader::Work(const std::shared_ptr<Shared>& shared, std::uint64_t request, const std::string& path,
    const Done& done, const std::stop_token& stop)
{
    const auto superseded = [&shared, request] { return shared->wanted.load() != request; };
    Trace trace = TraceWaveform(path, [&] { return stop.stop_requested() || superseded(); });
    const std::lock_guard lock(shared->mutex);
    // Ends the read once what it posts is queued, so whoever sees it end
    // finds the result in the dispatcher's queue.
    struct Ended {
        std::atomic<int>& reading;
        ~Ended() { --reading; }
    } ended {shared->reading};
    if (!shared->dispatcher || superseded())
        return;
    shared->dispatcher->Post([shared, request, done, trace = std::move(trace)] {
        // A newer request may have come while this one waited in the queue.
        if (!shared->dispatcher || shared->wanted.load() != request)
            return;
        shared->delivered = request;
        done(trace);
    });
}

void TraceReader::JoinEnded()
{
    std::erase_if(m_workers, [](const Worker& w) { return w.ended->load(); });
}

void TraceReader::Read(const std::string& path, Done done)
{
    JoinEnded();
    const std::uint64_t request = ++m_next;
    m_shared->wanted = request;
    ++m_shared->reading;
    auto ended = std::make_unique<std::atomic<bool>>(false);
    try {
        std::jthread thread([shared = m_shared, request, path, done, &flag = *ended](std::stop_token stop) {
            Work(shared, request, path, done, stop);
            flag = true;
        });
        m_workers.push_back({std::move(ended), std::move(thread)});
    } catch (const std::system_error&) {
        // No thread to be had: read here; the result still arrives through the dispatcher.
        Work(m_shared, request, path, done, {});
    }
}

void TraceReader::Cancel()
{
    const std::uint64_t request = ++m_next;
    m_shared->wanted = request;
    m_shared->delivered = request;
}

bool TraceReader::Reading() const
{
    return m_shared->reading.load() > 0;
}

bool TraceReader::Pending() const
{
    return m_shared->delivered != m_shared->wanted.load();
}

} // namespace pellam
