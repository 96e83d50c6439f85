#pragma once
// What the DTM stand-in tells the program that hosts it (the frame
// application or a test).

#include <QString>

namespace rq16::standins {

/// Who holds the data set lock.
enum class LockHolder { Released, ThisDtm, OtherUser };

/// Receiver of the DTM's notifications. Every callback has an empty default,
/// so a host overrides only what it needs. Callbacks run on the UI thread,
/// inside the view's call; a host must not destroy the view from within one
/// (the DTM releases and destroys views itself, see RQ16Dtm).
class IFrameHost {
public:
    virtual ~IFrameHost() = default;
    /// A view has finished its Init.
    virtual void OnInitFinished(const QString& /*invokeId*/) {}
    /// A view asks to be closed. With automatic release on, the DTM then
    /// calls its PrepareToRelease (later, from the event loop).
    virtual void OnRequestClose(const QString& /*invokeId*/) {}
    /// A view is ready to be destroyed. With automatic release on, the DTM
    /// destroys it later and then calls OnViewDestroyed.
    virtual void OnPreparedToRelease(const QString& /*invokeId*/) {}
    /// The view's widget has been scheduled for deletion and is no longer
    /// known to the DTM.
    virtual void OnViewDestroyed(const QString& /*invokeId*/) {}
    /// A view reports an error to the user.
    virtual void OnErrorMessage(const QString& /*systemTag*/, const QString& /*message*/) {}
    /// A view asked for the data set to be saved (it has been written).
    virtual void OnDataSetSaveRequested() {}
    /// A view asked for the data set lock to be given up.
    virtual void OnDataSetUnlockRequested() {}
    /// The data set was saved to its file (by a commit or a save request).
    virtual void OnDataSetWritten(const QString& /*path*/) {}
};

} // namespace rq16::standins
