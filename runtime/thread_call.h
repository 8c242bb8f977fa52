#pragma once

#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <utility>

namespace bivane {

// Runs `call` at once on `context`'s thread; from another thread (a port
// event on the input thread) queues it there, to run when that thread's
// event loop next turns, and drops it if `context` is gone by then.
template <typename Call>
void CallOnThreadOf(QObject* context, Call&& call) {
    if (QThread::currentThread() == context->thread()) {
        call();
    } else {
        QMetaObject::invokeMethod(context, std::forward<Call>(call), Qt::QueuedConnection);
    }
}

}  // namespace bivane
