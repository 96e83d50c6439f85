#pragma once
// A single-shot timer for the many views that read cyclically. All shared
// timers of a thread ride on one Qt timer: each Qt timer costs, at every
// start and stop, in proportion to the number of Qt timers, so a frame with a
// thousand cycling views would otherwise spend more on its timers than on
// reading.

#include <QObject>

#include <chrono>
#include <map>

namespace rq16 {

class SharedTimer : public QObject {
    Q_OBJECT
public:
    explicit SharedTimer(QObject* parent = nullptr);
    ~SharedTimer() override;

    void setInterval(int milliseconds) { m_interval = milliseconds; }
    int interval() const { return m_interval; }
    /// (Re)starts the timer: timeout() follows once, interval() from now.
    void start();
    void stop();
    bool isActive() const { return m_active; }

signals:
    void timeout();

private:
    friend class SharedTimerScheduler;
    using Clock = std::chrono::steady_clock;
    using Queue = std::multimap<Clock::time_point, SharedTimer*>;

    int m_interval = 0;
    bool m_active = false;
    Queue::iterator m_entry;
};

} // namespace rq16
