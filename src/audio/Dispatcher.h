#pragma once
// Work that must not run inside the call that caused it (a device reporting a
// finished buffer while the owner is still in WriteSamples or a reset) is
// posted here and runs later on the user-interface thread, in posting order.
#include <cstddef>
#include <deque>
#include <functional>
#include <utility>

namespace pellam {

class Dispatcher {
public:
    virtual ~Dispatcher() = default;
    // Runs task later on the thread that owns the dispatcher; may be called from any thread.
    virtual void Post(std::function<void()> task) = 0;
};

// A dispatcher whose queue runs only when asked: used where no event loop runs,
// so the order of deliveries is decided by the caller step by step.
class ManualDispatcher final : public Dispatcher {
public:
    void Post(std::function<void()> task) override { m_tasks.push_back(std::move(task)); }

    std::size_t Pending() const { return m_tasks.size(); }

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
