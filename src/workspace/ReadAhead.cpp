#include "workspace/ReadAhead.h"

#include "base/FileDescriptor.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pellam {
namespace {

// Asks the system to bring up to `limit` bytes of a regular file into memory
// in the background; the bytes asked for (0 for anything else).
std::int64_t AskFor(const std::string& path, std::int64_t limit)
{
    // A FIFO or device is never waited on here.
    const int fd = FileDescriptor::OpenKeepingAccessTime(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return 0;
    struct stat st { };
    std::int64_t bytes = 0;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        // The whole file in one request; beyond the window the readings' own
        // read-ahead takes over.
        bytes = std::min<std::int64_t>(st.st_size, limit);
        ::posix_fadvise(fd, 0, static_cast<off_t>(bytes), POSIX_FADV_WILLNEED);
    }
    ::close(fd);
    return bytes;
}

} // namespace

ReadAhead::ReadAhead(std::vector<std::string> paths, std::int64_t window, bool threaded)
    : m_paths(std::move(paths)), m_window(window), m_asking(m_paths.size(), 0)
{
    if (threaded)
        m_thread = std::jthread([this](std::stop_token stop) { Run(stop); });
}

ReadAhead::~ReadAhead()
{
    m_thread.request_stop();
    m_changed.notify_all();
}

void ReadAhead::Done(std::size_t i)
{
    {
        std::lock_guard lock(m_mutex);
        if (i >= m_asking.size() || m_asking[i] < 0)
            return;
        m_pending -= m_asking[i];
        m_asking[i] = -1;
    }
    m_changed.notify_all();
}

std::int64_t ReadAhead::Pending() const
{
    std::lock_guard lock(m_mutex);
    return m_pending;
}

bool ReadAhead::HasRoom() const
{
    // A file larger than the whole window is still asked for once nothing
    // else is pending.
    return m_next < m_paths.size() && (m_pending == 0 || m_pending < m_window);
}

bool ReadAhead::Step()
{
    std::size_t i = 0;
    {
        std::lock_guard lock(m_mutex);
        if (!HasRoom())
            return false;
        i = m_next++;
        if (m_asking[i] < 0)
            return true; // its work is done already: it was in memory
    }
    const std::int64_t bytes = AskFor(m_paths[i], m_window);
    std::lock_guard lock(m_mutex);
    if (m_asking[i] == 0) {
        m_asking[i] = bytes;
        m_pending += bytes;
    }
    return true;
}

void ReadAhead::Run(std::stop_token stop)
{
    for (;;) {
        {
            std::unique_lock lock(m_mutex);
            if (!m_changed.wait(lock, stop, [&] { return HasRoom() || m_next >= m_paths.size(); }))
                return;
            if (m_next >= m_paths.size())
                return;
        }
        Step();
    }
}

} // namespace pellam
