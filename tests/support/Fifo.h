#pragma once
// A named pipe in a test folder, and a guard for reading it: a reader that
// waits on the pipe for a writer instead of refusing it fails the test rather
// than hanging it.
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pellam::test {

inline std::string MakeFifo(const TempDir& dir, const std::string& name)
{
    const std::string path = dir.file(name);
    EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0) << path;
    return path;
}

// Runs read() on a thread of its own and gives its answer. A reader still
// busy after five seconds fails the test; the pipe is then opened for writing
// and closed again until the reader returns, which ends a blocked open or read.
template<typename F>
auto ReadPromptly(const std::string& fifo, F read) -> decltype(read())
{
    auto answer = std::async(std::launch::async, std::move(read));
    if (answer.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        ADD_FAILURE() << fifo << ": the reader waited on a FIFO";
        while (answer.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
            const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        }
    }
    return answer.get();
}

} // namespace pellam::test
