#pragma once
// What the two cyclic views (Observation and Simulation) share: the slot
// number, eight channel elements set up from the DTM's channels, the cycle
// timer and the decoding of the output values block. The read cycle itself
// (when to read, connect or disconnect) is the ConnectionProtocol's; this
// class carries out its timer, channel and decoding steps.
//
// A cyclic view passes its ReadCycleTraits (which mask of the block it shows,
// its read request, how decoding logs) and its protocol traits, and creates
// its elements with AddChannelElements in its constructor.

#include "ChannelObservation.h"
#include "OutputValues.h"

#include "frame/OnlineView.h"

#include <array>
#include <functional>

class QGridLayout;
class QLabel;
class QTimer;

namespace rq16 {

/// What distinguishes the read cycles of the two views; the defaults are
/// those of Observation.
struct ReadCycleTraits {
    /// Which mask of the block is shown as the channel value.
    observation::ShownMask shownMask = observation::ShownMask::OutputValues;
    /// The parameter manager's read request for a communication reference.
    OnlineView::ReadRequest readRequest = &IParameterManager::GetReadOutputValuesRequest;
    /// Decoding logs its start, each channel and its end.
    bool logsDecoding = true;
    /// A decoding error names the channel index it stopped at.
    bool decodeErrorNamesChannel = false;
};

class ReadCycleView : public OnlineView {
    Q_OBJECT
public:
    static constexpr int kCycleMs = 500;

    ReadCycleView(ViewTraits traits, ConnectionProtocol::Traits protocol, ReadCycleTraits cycle,
                  QWidget* parent = nullptr);
    ~ReadCycleView() override;

    /// Sends one read output values request (queued by a read step).
    Q_INVOKABLE void CallReadOutputValues(const QVariant& vArguments = {});

    /// The cycle timer's tick.
    void timCyclic_Timer();

    /// Decodes a block into the channel elements.
    void ParseModuleOutputValues(const ByteArray& block);

    // ---- state, for the frame and for tests ----
    ChannelObservation* channelElement(int index) const;
    const QString& ReadOutputInvokeId() const { return m_protocol.state.sReadOutputInvokeId; }
    bool CycleTimerActive() const;
    QString slotNumberText() const;

protected:
    // ---- Init hooks ----
    void LoadCaptions() override;
    /// Slot number, then the channel set-up from the DTM's channels and the
    /// parameter bytes.
    void FillHeader() override;

    /// Timer, channel and decoding steps.
    void CarryViewStep(const Step& step) override;

    /// Creates the eight elements with `create` and lays them out.
    void AddChannelElements(const std::function<ChannelObservation*(QWidget*)>& create);

    std::array<ChannelObservation*, kChannelCount> ctlChannel{};

private:
    void SetUpChannels();
    void SetAllHasConnection(bool value);

    ReadCycleTraits m_cycle;
    QTimer* timCyclic = nullptr;
    ByteArray ParameterBytes;
    QWidget* m_content = nullptr;
    QGridLayout* m_channelGrid = nullptr;
    QLabel* lblSlotNumberLabel = nullptr;
    QLabel* lblSlotNumber = nullptr;
};

} // namespace rq16
