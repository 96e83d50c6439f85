#include "EventPanelFeed.h"

#include <QDateTime>
#include <QStringList>

#include <utility>

namespace rq16::frameapp {

EventPanelFeed::EventPanelFeed(QPlainTextEdit* panel, int linesPerBatch, bool stamped,
                               QObject* parent)
    : QObject(parent), m_panel(panel), m_linesPerBatch(linesPerBatch), m_stamped(stamped) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(250);
    connect(&m_timer, &QTimer::timeout, this, &EventPanelFeed::flush);
}

void EventPanelFeed::add(const QString& line) {
    m_pending.append({m_stamped ? QDateTime::currentMSecsSinceEpoch() : 0, line});
    if (m_pending.size() > m_linesPerBatch) {
        m_pending.removeFirst();
        ++m_leftOut;
    }
    if (!m_timer.isActive()) {
        m_timer.start();
    }
}

void EventPanelFeed::flush() {
    m_timer.stop();
    if (m_pending.isEmpty()) {
        return;
    }
    // Local time from one look-up of the time zone offset per batch.
    const qint64 offsetMs = QDateTime::currentDateTime().offsetFromUtc() * qint64{1000};
    constexpr qint64 kDayMs = qint64{24} * 3600 * 1000;
    QStringList lines;
    if (m_leftOut > 0) {
        lines.append(QStringLiteral("(%1 lines left out)").arg(m_leftOut));
    }
    for (const Line& line : std::as_const(m_pending)) {
        if (m_stamped) {
            const qint64 localMs = ((line.addedAt + offsetMs) % kDayMs + kDayMs) % kDayMs;
            lines.append(QTime::fromMSecsSinceStartOfDay(static_cast<int>(localMs))
                             .toString(QStringLiteral("HH:mm:ss.zzz ")) +
                         line.text);
        } else {
            lines.append(line.text);
        }
    }
    m_pending.clear();
    m_leftOut = 0;
    if (m_panel) {
        m_panel->appendPlainText(lines.join(QLatin1Char('\n')));
    }
}

} // namespace rq16::frameapp
