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
    const QMetaObject* meta = view.metaObject();
    const QByteArray withArgument = name + "(QVariant)";
    if (meta->indexOfMethod(withArgument.constData()) >= 0) {
        QMetaObject::invokeMethod(&view, name.constData(), Qt::DirectConnection,
                                  Q_ARG(QVariant, arguments));
        return;
    }
    const QByteArray withoutArgument = name + "()";
    if (meta->indexOfMethod(withoutArgument.constData()) >= 0) {
        QMetaObject::invokeMethod(&view, name.constData(), Qt::DirectConnection);
        return;
    }
    qWarning("DeferredCallQueue: %s has no operation %s", meta->className(), name.constData());
}

} // namespace

int DeferredCallQueue::Outstanding() {
    return g_outstanding;
}

QString DeferredCallQueue::Add(QObject* view, const QString& operation, const QVariant& arguments) {
    const QString id = QStringLiteral("DCQ-%1").arg(++m_counter);
    RecordCall(QStringLiteral("Queue.Add(%1)").arg(operation));
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
