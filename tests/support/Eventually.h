#pragma once
// Waits for a condition another process or thread brings about, as
// QTRY_VERIFY does for windows: true as soon as it holds, false when it has
// not come about within the limit (a test then fails instead of hanging).
#include <chrono>
#include <thread>

namespace pellam::test {

template<typename Condition>
bool Eventually(Condition holds, std::chrono::milliseconds limit = std::chrono::seconds(20))
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!holds()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::yield();
    }
    return true;
}

} // namespace pellam::test
