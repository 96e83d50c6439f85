#include "StandInComponents.h"

#include "buttons/ButtonControl.h"
#include "communication/ResponseParser.h"
#include "documents/FdtDocuments.h"
#include "helpers/DeferredCallQueue.h"
#include "helpers/IMData.h"
#include "helpers/InvokeIdGenerator.h"
#include "helpers/PropertyBag.h"
#include "helpers/QsData.h"
#include "resources/ResourceManager.h"

namespace rq16::standins {

StandInComponentFactory::StandInComponentFactory(QString defaultFolder)
    : m_defaultFolder(std::move(defaultFolder)) {}

std::unique_ptr<IResourceManager> StandInComponentFactory::CreateResourceManager() {
    return std::make_unique<ResourceManager>(
        m_defaultFolder.isEmpty() ? ResourceManager::ApplicationCommonFolder() : m_defaultFolder);
}

std::unique_ptr<IButtonControl> StandInComponentFactory::CreateButtonControl(QWidget* parent) {
    return std::make_unique<ButtonControl>(parent);
}

std::unique_ptr<IDeferredCallQueue> StandInComponentFactory::CreateDeferredCallQueue() {
    return std::make_unique<DeferredCallQueue>();
}

std::unique_ptr<IInvokeIdGenerator> StandInComponentFactory::CreateInvokeIdGenerator() {
    return std::make_unique<InvokeIdGenerator>();
}

std::unique_ptr<IResponseParser> StandInComponentFactory::CreateResponseParser() {
    return std::make_unique<ResponseParser>();
}

std::unique_ptr<IModuleReader> StandInComponentFactory::CreateModuleReader() {
    return std::make_unique<ModuleReader>();
}

std::unique_ptr<IChannelReader> StandInComponentFactory::CreateChannelReader() {
    return std::make_unique<ChannelReader>();
}

std::unique_ptr<IInfoReader> StandInComponentFactory::CreateInfoReader() {
    return std::make_unique<InfoReader>();
}

std::unique_ptr<IQsData> StandInComponentFactory::CreateQsData() {
    return std::make_unique<QsData>();
}

std::unique_ptr<IIMData> StandInComponentFactory::CreateIMData() {
    return std::make_unique<IMData>();
}

std::unique_ptr<IPropertyBag> StandInComponentFactory::CreatePropertyBag() {
    return std::make_unique<PropertyBag>();
}

} // namespace rq16::standins
