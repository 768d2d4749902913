#include "audio/TraceReader.h"

#include <system_error>
#include <thread>

namespace pellam {

TraceReader::TraceReader(Dispatcher& dispatcher) : m_shared(std::make_shared<Shared>())
{
    m_shared->dispatcher = &dispatcher;
}

TraceReader::~TraceReader()
{
    // Running reads stop at their next check and post nothing; results posted
    // already find no dispatcher and are dropped.
    const std::lock_guard lock(m_shared->mutex);
    m_shared->dispatcher = nullptr;
    m_shared->wanted = 0;
}

void TraceReader::Work(
    const std::shared_ptr<Shared>& shared, std::uint64_t request, const std::string& path, const Done& done)
{
    const auto superseded = [&shared, request] { return shared->wanted.load() != request; };
    Trace trace = TraceWaveform(path, superseded);
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

void TraceReader::Read(const std::string& path, Done done)
{
    const std::uint64_t request = ++m_next;
    m_shared->wanted = request;
    ++m_shared->reading;
    try {
        std::thread([shared = m_shared, request, path, done] { Work(shared, request, path, done); }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: read here; the result still arrives through the dispatcher.
        Work(m_shared, request, path, done);
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
