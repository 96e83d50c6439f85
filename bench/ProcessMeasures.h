#pragma once
// What the benchmarks of many cycling views measure of their own process:
// CPU time, resident memory, and an event loop run for a given wall time.

#include <QByteArray>
#include <QEventLoop>
#include <QFile>
#include <QList>
#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>

namespace rq16::bench {

/// User and system CPU time of this process so far, in seconds.
inline double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

/// Resident memory of this process, in KiB (0 where it cannot be read).
inline double ResidentKiB() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1
               ? fields[1].toDouble() * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1024.0
               : 0;
}

/// Runs the event loop for `milliseconds` of wall time.
inline void RunEventLoop(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace rq16::bench
