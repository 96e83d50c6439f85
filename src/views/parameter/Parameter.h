#pragma once
// The offline parameterization view: four channel pair elements over the
// module's parameter bytes, with Apply, OK and Cancel and the data set lock.

#include "ChannelParameter.h"
#include "ChannelParameterRecord.h"
#include "ViewBase.h"

#include <array>
#include <memory>

class QLabel;

namespace rq16 {

class Parameter : public ViewBase, public IParameterManagerEvents {
    Q_OBJECT
public:
    static constexpr std::int32_t kHelpContextId = 25200;

    explicit Parameter(QWidget* parent = nullptr);
    ~Parameter() override;

    bool IDtmActiveXControl_Init(const QString& invokeId, const QString& functionCall,
                                 IDtm* Dtm) override;
    bool IDtmActiveXControl_PrepareToRelease() override;

    /// The binary digits of a value (see the free function of the same name).
    QString DecToBin(std::int32_t DeciValue, std::int16_t& NoOfBits) const;

    // Button bar events.
    void ctlButtons_Apply() override;
    void ctlButtons_Cancel() override;
    void ctlButtons_OK() override;
    void ctlButtons_Close() override;

    // Kernel events.
    void BaseDtm_ParameterChanged() override;
    // Parameter manager event.
    void ParameterManager_ParameterChanged() override;

    /// Element `index` (0 to 3) of ctlChannelParameter.
    ChannelParameter* channelParameter(int index) const;
    /// True while edits have not been written back.
    bool isDirty() const { return m_dirty; }
    /// The parameter bytes as last read, updated by every edit.
    const ByteArray& parameterBytes() const { return ParameterBytes; }

private:
    void BuildControls();
    void LoadResources();
    void GetAllValues();
    void ShowAllValues();
    void SetAllValues();
    void SetDirtyState(bool dirty);
    void LockControls() override;
    void UnlockControls() override;
    /// Elements and OK/Apply follow the lock, but stay read-only while the
    /// parameter data are too short for the module.
    void ApplyEditability();
    /// Says in the bar that the data cannot be edited, or clears that once
    /// valid data arrive.
    void ShowParameterValidity();
    /// False (after reporting why) when the edits could not be written.
    bool ApplySteps();
    void CloseSteps();
    void ctlChannelParameter_SetDirty(int index, bool value);
    /// Runs an event handler; an error ends it with one log entry instead of
    /// leaving through the event loop.
    template <typename F> void RunEvent(const QString& operation, F&& handler);

    std::unique_ptr<IResourceManager> m_objChannelResourceManager;
    ModuleObject m_module;
    ByteArray ParameterBytes;
    bool m_dirty = false;
    bool m_parameterManagerAdvised = false;
    bool m_editable = true;
    bool m_parametersRefused = false;

    QWidget* m_content = nullptr;
    QWidget* m_header = nullptr;
    std::array<ChannelParameter*, kChannelPairCount> ctlChannelParameter{};
    QLabel* lblModuleType = nullptr;
    QLabel* lblSlotNumberLabel = nullptr;
    QLabel* lblSlotNumber = nullptr;
};

} // namespace rq16
