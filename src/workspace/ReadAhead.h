#pragma once
// Brings a list of files into memory one after another, ahead of the threads
// that work on them. Evidence is often opened straight from a USB drive or a
// network share, where nothing is in memory yet: left to themselves, two
// threads scanning two recordings would pull two files from the device at
// once, in small pieces, and the device would spend its time seeking. Here
// each file is asked for whole, in list order, so the device reads one file
// after another at its own pace, and the readings that follow (the duration
// scan, the four CRC readings) are served from memory.
//
// Only a window of bytes is asked for ahead of the work done, so a folder
// larger than free memory does not push the files still waiting for their
// work out of memory before it is done with them.
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

namespace pellam {

class ReadAhead {
public:
    // The default window: what is asked for ahead of the work, at most.
    static constexpr std::int64_t kWindow = 256LL * 1024 * 1024;

    // Asks for the files on a thread of its own, or, without one, on each Step().
    explicit ReadAhead(std::vector<std::string> paths, std::int64_t window = kWindow, bool threaded = true);
    // Stops asking; what was asked for stays in the system's hands.
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The work on file i is done (or will not happen): its bytes leave the
    // window, and the files after it may be asked for.
    void Done(std::size_t i);

    // Asks for the next file when the window has room for it: true when it
    // took one (or passed over one whose work is done), false while the
    // window is full or when every file has been taken.
    bool Step();
    // Bytes asked for whose work is not done yet.
    std::int64_t Pending() const;

private:
    bool HasRoom() const; // m_mutex held
    void Run(std::stop_token stop);

    const std::vector<std::string> m_paths;
    const std::int64_t m_window;
    mutable std::mutex m_mutex;
    std::condition_variable_any m_changed;
    std::vector<std::int64_t> m_asking; // bytes asked for per file; -1 once its work is done
    std::int64_t m_pending = 0; // bytes asked for whose work is not done
    std::size_t m_next = 0; // the next file to ask for
    std::jthread m_thread; // last: it starts once everything above is set up
};

} // namespace pellam
