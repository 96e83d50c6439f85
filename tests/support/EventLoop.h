#pragma once
// Running the Qt event loop in tests: until a condition holds, or for a
// while, however slow the machine.

#include <QCoreApplication>
#include <QElapsedTimer>

namespace rq16::test {

/// Runs the event loop until `done()` or `timeoutMs` has passed; returns
/// `done()`. Deferred deletions are run too, so destroyed views go away.
template <typename F> bool SpinUntil(F done, int timeoutMs = 10000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return done();
}

/// Runs the event loop for `ms`, at least once.
inline void Spin(int ms = 20) {
    QElapsedTimer timer;
    timer.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    } while (timer.elapsed() < ms);
}

} // namespace rq16::test
