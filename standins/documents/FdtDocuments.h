#pragma once
// The DTM's documents about the module, its channels and itself, and the
// readers the views parse them with. Each document is one XML element:
//
//   <Module slotNumber="3" typeName="RQ16 DO8"/>
//   <Channel channelNumber="1" tag="Q1"/>
//   <DtmInformation name="RQ16 DO8 DTM" dtmRevision="2.1.0" fdtMajor="1" fdtMinor="2"/>
//
// Further attributes and child elements are allowed and ignored.

#include "host/Components.h"

namespace rq16::standins {

namespace documents {
QString ModuleDocument(const ModuleObject& module);
QString ChannelDocument(const ChannelObject& channel);
QString InfoDocument(const DtmInfoObject& information);
} // namespace documents

class ModuleReader : public IModuleReader {
public:
    /// False with LastError when the text is not a Module element with a
    /// non-negative slot number and a type name.
    bool Parse(const QString& text, IDocumentContext* context) override;
    QString LastError() const override { return m_lastError; }
    ModuleObject Module() const override { return m_module; }

private:
    QString m_lastError;
    ModuleObject m_module;
};

class ChannelReader : public IChannelReader {
public:
    /// False with LastError when the text is not a Channel element with a
    /// channel number from 1 to 8 and a tag (which may be empty).
    bool Parse(const QString& text, IDocumentContext* context) override;
    QString LastError() const override { return m_lastError; }
    ChannelObject Channel() const override { return m_channel; }

private:
    QString m_lastError;
    ChannelObject m_channel;
};

class InfoReader : public IInfoReader {
public:
    /// False with LastError when the text is not a DtmInformation element
    /// with name, DTM revision and non-negative FDT version numbers.
    bool Parse(const QString& text, IDocumentContext* context) override;
    QString LastError() const override { return m_lastError; }
    DtmInfoObject Information() const override { return m_information; }

private:
    QString m_lastError;
    DtmInfoObject m_information;
};

} // namespace rq16::standins
