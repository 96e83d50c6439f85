#include "SharedTimer.h"

#include <QBasicTimer>
#include <QCoreApplication>
#include <QPointer>
#include <QTimerEvent>

#include <algorithm>

namespace rq16 {

/// The due times of a thread's shared timers, earliest first, and the one
/// Qt timer armed for the earliest.
class SharedTimerScheduler : public QObject {
public:
    using Clock = SharedTimer::Clock;

    /// The scheduler of the calling thread; it lives as long as the
    /// application object.
    static SharedTimerScheduler& Instance() {
        thread_local QPointer<SharedTimerScheduler> instance;
        if (!instance) {
            instance = new SharedTimerScheduler(QCoreApplication::instance());
        }
        return *instance;
    }

    void Add(SharedTimer& timer) {
        const Clock::time_point due = Clock::now() + std::chrono::milliseconds(timer.m_interval);
        // Equal times keep the order of starting, as Qt's timers do.
        timer.m_entry = m_queue.emplace_hint(m_queue.end(), due, &timer);
        timer.m_active = true;
        if (timer.m_entry == m_queue.begin()) {
            Arm();
        }
    }

    void Remove(SharedTimer& timer) {
        const bool first = timer.m_entry == m_queue.begin();
        m_queue.erase(timer.m_entry);
        timer.m_active = false;
        if (first) {
            Arm();
        }
    }

protected:
    void timerEvent(QTimerEvent* event) override {
        if (event->timerId() != m_timer.timerId()) {
            QObject::timerEvent(event);
            return;
        }
        m_timer.stop();
        m_armedFor = {};
        // Timers started or stopped by a timeout slot change the queue; the
        // earliest entry is looked up afresh each time. A timer started
        // again here is due an interval from now, so this ends.
        const Clock::time_point now = Clock::now();
        while (!m_queue.empty() && m_queue.begin()->first <= now) {
            SharedTimer* timer = m_queue.begin()->second;
            m_queue.erase(m_queue.begin());
            timer->m_active = false;
            emit timer->timeout();
        }
        Arm();
    }

public:
    ~SharedTimerScheduler() override {
        // Timers still queued when the application ends are stopped.
        for (const auto& [due, timer] : m_queue) {
            timer->m_active = false;
        }
    }

private:
    explicit SharedTimerScheduler(QObject* parent) : QObject(parent) {}

    void Arm() {
        if (m_queue.empty()) {
            m_timer.stop();
            m_armedFor = {};
            return;
        }
        const Clock::time_point due = m_queue.begin()->first;
        if (m_timer.isActive() && m_armedFor == due) {
            return;
        }
        // Rounded up to whole milliseconds, so the Qt timer never fires
        // before the earliest entry is due.
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(due - Clock::now());
        m_timer.start(static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, wait.count())),
                      Qt::PreciseTimer, this);
        m_armedFor = due;
    }

    SharedTimer::Queue m_queue;
    QBasicTimer m_timer;
    Clock::time_point m_armedFor{};
};

SharedTimer::SharedTimer(QObject* parent) : QObject(parent) {}

SharedTimer::~SharedTimer() {
    stop();
}

void SharedTimer::start() {
    stop();
    SharedTimerScheduler::Instance().Add(*this);
}

void SharedTimer::stop() {
    if (m_active) {
        SharedTimerScheduler::Instance().Remove(*this);
    }
}

} // namespace rq16
