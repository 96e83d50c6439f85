#pragma once
// The process-wide factory of outside helper objects.

#include "host/Components.h"

namespace rq16 {

/// Installs the factory that views use to create their helper objects.
/// The host keeps ownership; pass nullptr to remove it.
void SetComponentFactory(IComponentFactory* factory);

/// The installed factory. Throws ComError if none is installed.
IComponentFactory& Components();

} // namespace rq16
