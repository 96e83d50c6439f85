#include "SimulatedModule.h"

#include <algorithm>
#include <stdexcept>

namespace rq16::simulator {

namespace {

void CheckChannel(int channel) {
    if (channel < 1 || channel > kChannelCount) {
        throw std::out_of_range("channel number out of range");
    }
}

void CheckRecord(int record) {
    if (record < 0 || record > 2) {
        throw std::out_of_range("I&M record number out of range");
    }
}

} // namespace

SimulatedModule::SimulatedModule()
    : m_parameterBytes{0x00, 0x04, 0x30, 0x48, 0x0F}, m_qs{QStringLiteral("CH2319-07"),
                                                           QStringLiteral("SN0042318"),
                                                           3,
                                                           {1, 4, 2},
                                                           QDate(2023, 11, 14)},
      m_im{DefaultIm0(), EncodeIm1(QStringLiteral("Conveyor 3 outputs"), QStringLiteral("Hall B")),
           EncodeIm2(QStringLiteral("2023-11-20 08:30"))} {
    const auto start = std::chrono::steady_clock::now();
    m_clock = [start] {
        return std::chrono::duration_cast<Milliseconds>(std::chrono::steady_clock::now() - start);
    };
}

void SimulatedModule::SetClock(Clock clock) {
    m_clock = std::move(clock);
}

Milliseconds SimulatedModule::Now() const {
    return m_clock();
}

// ---- diagnosis ----

void SimulatedModule::SetModuleCode(std::uint8_t code) {
    m_moduleCode = code;
}

void SimulatedModule::SetChannelFaults(int channel, std::vector<std::uint8_t> codes) {
    CheckChannel(channel);
    for (auto& code : codes) {
        code &= 0x0F;
    }
    m_channelFaults[static_cast<std::size_t>(channel - 1)] = std::move(codes);
}

const std::vector<std::uint8_t>& SimulatedModule::ChannelFaults(int channel) const {
    CheckChannel(channel);
    return m_channelFaults[static_cast<std::size_t>(channel - 1)];
}

void SimulatedModule::ClearFaults() {
    m_moduleCode = 0;
    for (auto& codes : m_channelFaults) {
        codes.clear();
    }
}

ByteArray SimulatedModule::DiagnosisTelegram() const {
    ByteArray telegram{m_moduleCode};
    for (int channel = 1; channel <= kChannelCount; ++channel) {
        for (const std::uint8_t code : ChannelFaults(channel)) {
            telegram.push_back(static_cast<std::uint8_t>((channel << 4) | code));
        }
    }
    switch (m_defect) {
    case DiagnosisDefect::None:
        break;
    case DiagnosisDefect::DescendingChannels:
        std::reverse(telegram.begin() + 1, telegram.end());
        // With fewer than two distinct channels reversing changes nothing.
        if (telegram.size() < 3 || telegram[1] >> 4 == telegram.back() >> 4) {
            telegram.push_back(0x31);
            telegram.push_back(0x21);
        }
        break;
    case DiagnosisDefect::ChannelAboveEight:
        telegram.push_back(0x91);
        break;
    }
    return telegram;
}

// ---- outputs and forcing ----

void SimulatedModule::SetStepPeriod(Milliseconds period) {
    m_stepPeriod = std::max(period, Milliseconds{1});
}

std::uint8_t SimulatedModule::MasterOutputs() const {
    const auto step = Now().count() / m_stepPeriod.count();
    return static_cast<std::uint8_t>(1U << (step % kChannelCount));
}

void SimulatedModule::SetForcingTimeout(Milliseconds timeout) {
    m_forcingTimeout = timeout;
}

void SimulatedModule::LapseForcing() {
    if (m_forcingEnabled && Now() - m_forcingEnabledAt > m_forcingTimeout) {
        m_forcingEnabled = false;
        m_forceMask = 0;
        m_forceValues = 0;
    }
}

bool SimulatedModule::ForcingEnabled() {
    LapseForcing();
    return m_forcingEnabled;
}

Milliseconds SimulatedModule::ForcingTimeLeft() {
    LapseForcing();
    return m_forcingEnabled ? m_forcingEnabledAt + m_forcingTimeout - Now() : Milliseconds{0};
}

std::uint8_t SimulatedModule::ForceMask() {
    LapseForcing();
    return m_forceMask;
}

std::uint8_t SimulatedModule::ForceValues() {
    LapseForcing();
    return m_forceValues;
}

ByteArray SimulatedModule::OutputValuesBlock() {
    LapseForcing();
    const auto driven =
        static_cast<std::uint8_t>((MasterOutputs() & ~m_forceMask) | (m_forceValues & m_forceMask));
    return {0x00, m_forceMask, 0x00, driven};
}

// ---- records ----

const ByteArray& SimulatedModule::ImRecord(int record) const {
    CheckRecord(record);
    return m_im[static_cast<std::size_t>(record)];
}

void SimulatedModule::SetImRecord(int record, ByteArray bytes) {
    CheckRecord(record);
    bytes.resize(kImRecordSize, 0);
    m_im[static_cast<std::size_t>(record)] = std::move(bytes);
}

// ---- requests ----

Reply SimulatedModule::ReadDiagnosis() const {
    return Reply::WithData(DiagnosisTelegram());
}

Reply SimulatedModule::ReadOutputValues() {
    return Reply::WithData(OutputValuesBlock());
}

Reply SimulatedModule::GlobalForcingEnable() {
    m_forcingEnabled = true;
    m_forcingEnabledAt = Now();
    return Reply::Ok();
}

Reply SimulatedModule::WriteForceValues(const ByteArray& block) {
    if (block.size() < 4) {
        return Reply::Error(QStringLiteral("Force values block shorter than 4 bytes"));
    }
    LapseForcing();
    if (!m_forcingEnabled) {
        return Reply::Error(QStringLiteral("Forcing is not enabled"));
    }
    m_forceMask = block[1];
    m_forceValues = static_cast<std::uint8_t>(block[3] & block[1]);
    return Reply::Ok();
}

Reply SimulatedModule::ReadQsData() const {
    return Reply::WithData(EncodeQs(m_qs));
}

Reply SimulatedModule::Read(int index) const {
    if (index == kParameterIndex) {
        return Reply::WithData(m_parameterBytes);
    }
    if (index != kImIndex) {
        return Reply::Error(QStringLiteral("Index %1 cannot be read").arg(index));
    }
    if (!m_imSupported) {
        return Reply::Error(QStringLiteral("The module offers no I&M functions"));
    }
    if (m_selectedIm < 0) {
        return Reply::Error(QStringLiteral("No I&M record selected"));
    }
    ByteArray data = ImCallHeader(m_selectedIm);
    const ByteArray& record = ImRecord(m_selectedIm);
    data.insert(data.end(), record.begin(), record.end());
    return Reply::WithData(std::move(data));
}

Reply SimulatedModule::Write(int index, const ByteArray& data) {
    if (index == kParameterIndex) {
        m_parameterBytes = data;
        return Reply::Ok();
    }
    if (index != kImIndex) {
        return Reply::Error(QStringLiteral("Index %1 cannot be written").arg(index));
    }
    if (!m_imSupported) {
        return Reply::Error(QStringLiteral("The module offers no I&M functions"));
    }
    const int record = ImRecordOfCallHeader(data);
    if (record < 0) {
        return Reply::Error(QStringLiteral("Invalid I&M call header"));
    }
    if (data.size() == kImCallHeaderSize) {
        m_selectedIm = record;
        return Reply::Ok();
    }
    if (data.size() != kImCallHeaderSize + kImRecordSize) {
        return Reply::Error(QStringLiteral("I&M record of %1 bytes").arg(data.size()));
    }
    if (record == 0) {
        return Reply::Error(QStringLiteral("I&M0 cannot be written"));
    }
    if (record != m_selectedIm) {
        return Reply::Error(QStringLiteral("I&M%1 was not selected").arg(record));
    }
    SetImRecord(record, ByteArray(data.begin() + kImCallHeaderSize, data.end()));
    return Reply::Ok();
}

} // namespace rq16::simulator
