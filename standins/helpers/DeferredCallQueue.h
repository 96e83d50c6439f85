#pragma once
// Calls a view's public operation by name after the current call returns.

#include "host/Components.h"

namespace rq16::standins {

class DeferredCallQueue : public IDeferredCallQueue {
public:
    /// Posts the call to the application's event loop; returns a new id.
    /// The operation is a Q_INVOKABLE or slot taking one QVariant, or none.
    /// A view destroyed before the call runs is not called.
    QString Add(QObject* view, const QString& operation, const QVariant& arguments) override;

    /// Number of calls added so far.
    int AddedCount() const { return m_counter; }
    /// Calls of every queue of the process that are posted and have not run
    /// yet (a call whose view is gone counts until it is dropped).
    static int Outstanding();

private:
    int m_counter = 0;
};

} // namespace rq16::standins
