#include "workspace/RecordingProbe.h"

#include "checksums/CrcText.h"

#include <algorithm>
#include <cerrno>
#include <sys/resource.h>

namespace pellam {
namespace {

// Two threads at least, so the answers come while the window's thread
// runs; more where there are cores for them.
unsigned WorkerCount()
{
    return std::clamp(std::thread::hardware_concurrency(), 2u, 4u);
}

// How much lower yielding threads are scheduled.
constexpr int kYieldingNice = 5;

} // namespace

void SequentialProbe::Start(const std::vector<std::string>& paths)
{
    m_paths = paths;
    m_durations.assign(paths.size(), std::nullopt);
    m_crcs.assign(paths.size(), std::nullopt);
}

std::optional<DurationAnswer> SequentialProbe::Duration(std::size_t i)
{
    if (i >= m_paths.size())
        return std::nullopt;
    if (!m_durations[i])
        m_durations[i] = Mp3DurationAnswer(m_paths[i]);
    return m_durations[i];
}

std::optional<StableSums> SequentialProbe::Checksums(std::size_t i)
{
    if (i >= m_paths.size())
        return std::nullopt;
    if (!m_crcs[i])
        m_crcs[i] = GetStableSums(m_crc, m_paths[i]);
    return m_crcs[i];
}

ThreadedProbe::~ThreadedProbe()
{
    Stop();
}

void ThreadedProbe::Stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopped = true;
        for (auto& t : m_threads)
            t.request_stop();
    }
    m_ready.notify_all();
    m_threads.clear(); // joins
    m_readAhead.reset();
}

void ThreadedProbe::Start(const std::vector<std::string>& paths)
{
    Stop();
    m_paths = paths;
    m_durations.assign(paths.size(), std::nullopt);
    m_crcs.assign(paths.size(), std::nullopt);
    m_next = 0;
    m_stopped = false;
    m_waitingFor.reset();
    m_readAhead = std::make_unique<ReadAhead>(paths);
    const unsigned workers = static_cast<unsigned>(std::min<std::size_t>(WorkerCount(), paths.size()));
    for (unsigned w = 0; w < workers; ++w)
        m_threads.emplace_back([this](std::stop_token stop) { Run(stop); });
}

void ThreadedProbe::Run(const std::stop_token& stop)
{
    if (m_yielding) { // the nice value is the calling thread's own
        errno = 0;
        const int nice = ::getpriority(PRIO_PROCESS, 0);
        if (errno == 0)
            ::setpriority(PRIO_PROCESS, 0, std::min(nice + kYieldingNice, 19));
    }
    clsCRC crc; // this thread's own engine
    const std::size_t count = m_paths.size();
    for (;;) {
        std::size_t job = 0;
        {
            std::lock_guard lock(m_mutex);
            if (stop.stop_requested() || m_next >= 2 * count)
                return;
            job = m_next++;
        }
        // A recording's duration, then its CRC, so the work follows the
        // read-ahead from one recording to the next.
        const Kind kind = job % 2 == 0 ? kDuration : kCrc;
        const std::size_t i = job / 2;
        DurationAnswer duration;
        StableSums sums;
        try {
            if (kind == kDuration)
                duration = Mp3DurationAnswer(m_paths[i], stop);
            else if (m_sha256)
                sums = GetStableSums(crc, m_paths[i], stop);
            else
                sums.crc = GetStableCRC(crc, m_paths[i], stop);
        } catch (...) { // out of memory: the file's answer is the one for an unreadable file
            duration = {kUnknownDuration, {}};
            sums = {kUnknownCrc, {}};
        }
        {
            std::lock_guard lock(m_mutex);
            if (stop.stop_requested())
                return; // a stopped reading's "Unknown" is no answer
            if (kind == kDuration)
                m_durations[i] = std::move(duration);
            else
                m_crcs[i] = std::move(sums);
            if (m_durations[i] && m_crcs[i])
                m_readAhead->Done(i); // its bytes may leave memory now
        }
        m_ready.notify_all();
    }
}

bool ThreadedProbe::Answered(Kind kind, std::size_t i) const
{
    return kind == kDuration ? m_durations[i].has_value() : m_crcs[i].has_value();
}

template<typename T>
std::optional<T> ThreadedProbe::Take(Kind kind, std::size_t i, const std::vector<std::optional<T>>& answers)
{
    std::lock_guard lock(m_mutex);
    if (i >= answers.size())
        return std::nullopt;
    const auto& answer = answers[i];
    if (answer)
        m_waitingFor.reset();
    else
        m_waitingFor = std::make_pair(kind, i);
    return answer;
}

std::optional<DurationAnswer> ThreadedProbe::Duration(std::size_t i)
{
    return Take(kDuration, i, m_durations);
}
std::optional<StableSums> ThreadedProbe::Checksums(std::size_t i)
{
    return Take(kCrc, i, m_crcs);
}

void ThreadedProbe::Wait(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    m_ready.wait_for(lock, timeout,
        [&] { return m_stopped || !m_waitingFor || Answered(m_waitingFor->first, m_waitingFor->second); });
}

} // namespace pellam
