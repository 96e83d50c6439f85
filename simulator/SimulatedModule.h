#pragma once
// A model of the eight-channel digital output module: its diagnosis, its
// outputs and their forcing, its parameter record, its production record and
// its I&M records, plus the faults of the connection to it that a test or an
// operator switches on. Plain C++; the communication stand-in maps request
// documents onto the operations below.

#include "Records.h"

#include "host/Constants.h"
#include "host/Types.h"

#include <QString>

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

namespace rq16::simulator {

using Milliseconds = std::chrono::milliseconds;
/// The module's time source: milliseconds since some fixed start.
using Clock = std::function<Milliseconds()>;

/// The module's answer to one request.
struct Reply {
    bool positive = true;
    QString errorText; ///< negative answers only
    bool hasData = false;
    ByteArray data;

    static Reply Ok() { return {}; }
    static Reply WithData(ByteArray bytes) { return {true, {}, true, std::move(bytes)}; }
    static Reply Error(const QString& text) { return {false, text, false, {}}; }
};

/// A defect built into the diagnosis telegram on purpose.
enum class DiagnosisDefect {
    None,
    DescendingChannels, ///< the channel entries in descending order
    ChannelAboveEight,  ///< an extra entry for channel 9
};

/// Faults of the connection, switched on by tests or by the simulator panel.
/// The communication stand-in consults them for every request.
struct ConnectionFaults {
    bool refuseConnect = false;         ///< Connect returns false
    bool negativeConnect = false;       ///< connect answered with an error
    bool unparsableConnect = false;     ///< connect answered with broken text
    bool refuseTransaction = false;     ///< TransactionRequest returns false
    bool negativeTransaction = false;   ///< transactions answered with an error
    bool unparsableTransaction = false; ///< transactions answered with broken text
    bool answersWithoutData = false;    ///< reads answered positively but without data
    bool refuseDisconnect = false;      ///< Disconnect returns false
    /// Each answer is preceded by the same answer under an invoke id that no
    /// request had.
    bool foreignInvokeId = false;
    /// Delay of every answer.
    int latencyMs = 0;
    /// The connection is lost (OnAbort) when this many further requests have
    /// been accepted; 0 loses it at the next request; negative never.
    int abortAfterRequests = -1;
};

class SimulatedModule {
public:
    /// Index of the I&M call mechanism.
    static constexpr int kImIndex = 255;
    /// Index of the parameter record.
    static constexpr int kParameterIndex = 1;

    SimulatedModule();

    // ---- time ----
    /// Replaces the time source (tests step time by hand).
    void SetClock(Clock clock);
    Milliseconds Now() const;

    // ---- diagnosis ----
    void SetModuleCode(std::uint8_t code);
    std::uint8_t ModuleCode() const { return m_moduleCode; }
    /// The codes (1 to 15) that channel 1 to 8 reports, in this order.
    void SetChannelFaults(int channel, std::vector<std::uint8_t> codes);
    const std::vector<std::uint8_t>& ChannelFaults(int channel) const;
    /// No module code and no channel faults.
    void ClearFaults();
    void SetDiagnosisDefect(DiagnosisDefect defect) { m_defect = defect; }
    DiagnosisDefect diagnosisDefect() const { return m_defect; }
    /// Module code, then one entry per channel fault in ascending channel
    /// order (unless a defect is switched on).
    ByteArray DiagnosisTelegram() const;

    // ---- outputs and forcing ----
    /// How long the master's running light stays on one channel.
    void SetStepPeriod(Milliseconds period);
    /// The outputs the master sets: a light that runs through the channels.
    std::uint8_t MasterOutputs() const;
    /// Byte 1 force mask, byte 3 the outputs the module drives.
    ByteArray OutputValuesBlock();
    /// Forcing lapses when the enable request is not repeated within this
    /// time.
    void SetForcingTimeout(Milliseconds timeout);
    Milliseconds ForcingTimeout() const { return m_forcingTimeout; }
    bool ForcingEnabled();
    /// Time until forcing lapses unless the enable request is repeated; 0
    /// while forcing is not enabled.
    Milliseconds ForcingTimeLeft();
    std::uint8_t ForceMask();
    std::uint8_t ForceValues();

    // ---- records ----
    const ByteArray& ParameterBytes() const { return m_parameterBytes; }
    void SetParameterBytes(ByteArray bytes) { m_parameterBytes = std::move(bytes); }
    const QsFields& Qs() const { return m_qs; }
    void SetQs(QsFields fields) { m_qs = std::move(fields); }
    void SetImSupported(bool supported) { m_imSupported = supported; }
    bool ImSupported() const { return m_imSupported; }
    /// I&M record 0, 1 or 2 (64 bytes, without call header).
    const ByteArray& ImRecord(int record) const;
    void SetImRecord(int record, ByteArray bytes);
    /// The record selected by the last call header, or -1.
    int SelectedImRecord() const { return m_selectedIm; }

    // ---- requests ----
    Reply ReadDiagnosis() const;
    Reply ReadOutputValues();
    Reply GlobalForcingEnable();
    /// A 4-byte block: byte 1 force activation mask, byte 3 force values.
    Reply WriteForceValues(const ByteArray& block);
    Reply ReadQsData() const;
    /// A read of a record index (the I&M index or the parameter index).
    Reply Read(int index) const;
    /// A write to a record index: on the I&M index a 4-byte call header
    /// selects a record, a 68-byte call header plus record writes I&M1 or
    /// I&M2.
    Reply Write(int index, const ByteArray& data);

    ConnectionFaults& connectionFaults() { return m_connectionFaults; }
    const ConnectionFaults& connectionFaults() const { return m_connectionFaults; }

private:
    /// Drops forcing whose enable request was not repeated in time.
    void LapseForcing();

    Clock m_clock;
    std::uint8_t m_moduleCode = 0;
    std::array<std::vector<std::uint8_t>, kChannelCount> m_channelFaults;
    DiagnosisDefect m_defect = DiagnosisDefect::None;

    Milliseconds m_stepPeriod{500};
    Milliseconds m_forcingTimeout{60000};
    bool m_forcingEnabled = false;
    Milliseconds m_forcingEnabledAt{0};
    std::uint8_t m_forceMask = 0;
    std::uint8_t m_forceValues = 0;

    ByteArray m_parameterBytes;
    QsFields m_qs;
    bool m_imSupported = true;
    std::array<ByteArray, 3> m_im;
    int m_selectedIm = -1;

    ConnectionFaults m_connectionFaults;
};

} // namespace rq16::simulator
