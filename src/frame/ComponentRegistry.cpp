#include "ComponentRegistry.h"

#include <atomic>

namespace rq16 {

namespace {
std::atomic<IComponentFactory*> g_factory{nullptr};
}

void SetComponentFactory(IComponentFactory* factory) {
    g_factory.store(factory);
}

IComponentFactory& Components() {
    IComponentFactory* factory = g_factory.load();
    if (!factory) {
        throw ComError(kErrInvalidArg,
                       QStringLiteral("No component factory installed: the host must install "
                                      "one before it creates a control."));
    }
    return *factory;
}

} // namespace rq16
