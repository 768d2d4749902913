#pragma once
// Work that must not run inside the call that caused it (a device reporting a
// finished buffer while the owner is still in WriteSamples or a reset) is
// posted here and runs later on the user-interface thread, in posting order.
#include <functional>

namespace pellam {

class Dispatcher {
public:
    virtual ~Dispatcher() = default;
    // Runs task later on the thread that owns the dispatcher; may be called from any thread.
    virtual void Post(std::function<void()> task) = 0;
};

} // namespace pellam
