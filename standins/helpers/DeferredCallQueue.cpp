#include "DeferredCallQueue.h"

#include "standins/CallRecorder.h"

#include <QCoreApplication>
#include <QMetaMethod>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QTimer>

namespace rq16::standins {

namespace {

int g_outstanding = 0;

/// Runs the named operation now; the parameterless form when there is no
/// QVariant overload.
void Invoke(QObject& view, const QByteArray& name, const QVariant& arguments) {
    // The method found is invoked as it is, not looked up by name again.
    const QMetaObject* meta = view.metaObject();
    if (const int index = meta->indexOfMethod((name + "(QVariant)").constData()); index >= 0) {
        meta->method(index).invoke(&view, Qt::DirectConnection, Q_ARG(QVariant, arguments));
        return;
    }
    if (const int index = meta->indexOfMethod((name + "()").constData()); index >= 0) {
        meta->method(index).invoke(&view, Qt::DirectConnection);
        return;
    }
    qWarning("DeferredCallQueue: %s has no operation %s", meta->className(), name.constData());
}

} // namespace

int DeferredCallQueue::Outstanding() {
    return g_outstanding;
}

QString DeferredCallQueue::Add(QObject* view, const QString& operation, const QVariant& arguments) {
    const QString id = QLatin1String("DCQ-") + QString::number(++m_counter);
    if (IsRecordingCalls()) {
        RecordCall(QLatin1String("Queue.Add(") + operation + u')');
    }
    if (view == nullptr) {
        return id;
    }
    // The call is posted to the event loop of the application (the views'
    // thread); the guard drops it if the view is gone by then.
    QPointer<QObject> guard(view);
    const QByteArray name = operation.toLatin1();
    ++g_outstanding;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [guard, name, arguments]() {
            --g_outstanding;
            if (QObject* target = guard.data(); target != nullptr) {
                Invoke(*target, name, arguments);
            }
        },
        Qt::QueuedConnection);
    return id;
}

} // namespace rq16::standins
