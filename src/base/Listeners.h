#pragma once
// A list of listeners to one kind of event. Every subscriber is called, in the
// order they subscribed; a subscription ends when its handle is destroyed or
// reset, so a listener that goes away cannot be called afterwards.
#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace pellam {

class Subscription {
public:
    Subscription() = default;
    explicit Subscription(std::function<void()> cancel) : m_cancel(std::move(cancel)) {}
    Subscription(Subscription&& other) noexcept : m_cancel(std::exchange(other.m_cancel, {})) {}
    Subscription& operator=(Subscription&& other) noexcept
    {
        if (this != &other) {
            reset();
            m_cancel = std::exchange(other.m_cancel, {});
        }
        return *this;
    }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { reset(); }

    void reset()
    {
        if (auto cancel = std::exchange(m_cancel, {}))
            cancel();
    }

private:
    std::function<void()> m_cancel;
};

template<typename... Args>
class Listeners {
public:
    using Handler = std::function<void(Args...)>;

    Listeners() = default;
    Listeners(const Listeners&) = delete;
    Listeners& operator=(const Listeners&) = delete;

    // Adds a listener; it is called until the returned handle goes away. The
    // handle may outlive this list.
    [[nodiscard]] Subscription Subscribe(Handler handler)
    {
        const std::size_t id = m_next++;
        m_state->entries.push_back({id, std::move(handler)});
        std::weak_ptr<State> weak = m_state;
        return Subscription([weak, id] {
            if (auto state = weak.lock())
                std::erase_if(state->entries, [id](const Entry& e) { return e.id == id; });
        });
    }

    // Calls every listener. One added during the call is first called by the
    // next one; one removed during the call is not called after its removal.
    void operator()(Args... args) const
    {
        const auto state = m_state; // the list may be destroyed by a listener
        const auto entries = state->entries;
        for (const auto& e : entries) {
            const bool present = std::any_of(state->entries.begin(), state->entries.end(),
                                             [&e](const Entry& current) { return current.id == e.id; });
            if (present)
                e.handler(args...);
        }
    }

    bool empty() const { return m_state->entries.empty(); }

private:
    struct Entry {
        std::size_t id;
        Handler handler;
    };
    struct State {
        std::vector<Entry> entries;
    };
    std::shared_ptr<State> m_state = std::make_shared<State>();
    std::size_t m_next = 0;
};

} // namespace pellam
