#pragma once
// Posts work to the Qt event loop of the thread that created the dispatcher:
// finished sound buffers are handled between window events and timers, as any
// other queued event.
#include "audio/Dispatcher.h"

#include <QMetaObject>
#include <QObject>

namespace pellam {

class QtDispatcher final : public Dispatcher {
public:
    void Post(std::function<void()> task) override
    {
        QMetaObject::invokeMethod(&m_context, std::move(task), Qt::QueuedConnection);
    }

private:
    QObject m_context; // tasks die unrun with the dispatcher
};

} // namespace pellam
