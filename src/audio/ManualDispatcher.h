#pragma once
#include "audio/Dispatcher.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <utility>

namespace pellam {

// A dispatcher whose queue runs only when asked: used where no event loop runs
// (pellam-cli, tests), so the order of deliveries is decided by the caller
// step by step.
class ManualDispatcher final : public Dispatcher {
public:
    void Post(std::function<void()> task) override { m_tasks.push_back(std::move(task)); }

    // Runs queued tasks, including those they post, until none is left; returns how many ran.
    std::size_t RunPending()
    {
        std::size_t ran = 0;
        while (!m_tasks.empty()) {
            auto task = std::move(m_tasks.front());
            m_tasks.pop_front();
            task();
            ++ran;
        }
        return ran;
    }

private:
    std::deque<std::function<void()>> m_tasks;
};

} // namespace pellam
