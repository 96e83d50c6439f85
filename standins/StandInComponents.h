#pragma once
// The factory that hands the views the stand-ins of the outside helper
// objects.

#include "host/Components.h"

namespace rq16::standins {

class StandInComponentFactory : public IComponentFactory {
public:
    /// New resource managers start with `defaultFolder` (empty: the common
    /// folder beside the running program) and language "en".
    explicit StandInComponentFactory(QString defaultFolder = QString());

    std::unique_ptr<IResourceManager> CreateResourceManager() override;
    std::unique_ptr<IButtonControl> CreateButtonControl(QWidget* parent) override;
    std::unique_ptr<IDeferredCallQueue> CreateDeferredCallQueue() override;
    std::unique_ptr<IInvokeIdGenerator> CreateInvokeIdGenerator() override;
    std::unique_ptr<IResponseParser> CreateResponseParser() override;
    std::unique_ptr<IModuleReader> CreateModuleReader() override;
    std::unique_ptr<IChannelReader> CreateChannelReader() override;
    std::unique_ptr<IInfoReader> CreateInfoReader() override;
    std::unique_ptr<IQsData> CreateQsData() override;
    std::unique_ptr<IIMData> CreateIMData() override;
    std::unique_ptr<IPropertyBag> CreatePropertyBag() override;

private:
    QString m_defaultFolder;
};

} // namespace rq16::standins
