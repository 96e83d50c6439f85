#pragma once
// The control library's entry points: creating controls by their
// programmatic ids, and installing the component factory.

#include "frame/ComponentRegistry.h"
#include "frame/host/Dtm.h"

#include <QStringList>

#include <functional>

class QWidget;

namespace rq16 {

/// The programmatic ids of all controls of the library, views first.
QStringList ProgrammaticIds();

/// The ids of the six views the DTM opens.
QStringList ViewProgrammaticIds();

/// True when the control with this id is built into this library.
bool IsControlAvailable(const QString& progId);

/// Creates the control with the programmatic id ("RQ16Controls.About", ...).
/// Returns nullptr for an unknown id or a control this build does not have.
/// The component factory must be installed first.
QWidget* CreateControl(const QString& progId, QWidget* parent = nullptr);

/// The view interface of a control created by CreateControl; nullptr for the
/// channel elements, which are not views.
IDtmActiveXControl* AsDtmControl(QWidget* control);

/// Receives, once per state of the registry file, why the library cannot
/// read it (the same text goes to standard error): a host shows it among its
/// events. An empty function: standard error only.
void SetRegistryProblemHandler(std::function<void(const QString&)> handler);

/// The common and the device resource folder of this library (beside the
/// library file): the default folder for the host's resource managers.
QString CommonResourceFolder();
QString DeviceResourceFolder();

} // namespace rq16
