#include "InvokeIdGenerator.h"

#include <QRandomGenerator>

#include <atomic>

namespace rq16::standins {

namespace {

const QString& ProcessPrefix() {
    static const QString prefix =
        QStringLiteral("%1")
            .arg(QRandomGenerator::global()->generate() & 0xFFFFFFu, 6, 16, QLatin1Char('0'))
            .toUpper();
    return prefix;
}

std::atomic<quint64> g_counter{0};

} // namespace

QString InvokeIdGenerator::NewInvokeId() {
    // One counter for the whole process, so two generators never collide.
    const quint64 number = ++g_counter;
    return QLatin1String("INV-") + ProcessPrefix() + u'-' + QString::number(number);
}

} // namespace rq16::standins
