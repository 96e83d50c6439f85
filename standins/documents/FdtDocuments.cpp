#include "FdtDocuments.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <limits>
#include <optional>

namespace rq16::standins {

namespace {

/// Writes one empty element with the attributes in the given order.
QString Element(const QString& name, const QList<std::pair<QString, QString>>& attributes) {
    QString text;
    QXmlStreamWriter writer(&text);
    writer.writeStartElement(name);
    for (const auto& [key, value] : attributes) {
        writer.writeAttribute(key, value);
    }
    writer.writeEndElement();
    return text;
}

/// The attributes of the document element `name`, or nothing with `error`.
std::optional<QXmlStreamAttributes> RootAttributes(const QString& text, const QString& name,
                                                   QString& error) {
    if (text.trimmed().isEmpty()) {
        error = QStringLiteral("The %1 document is empty").arg(name);
        return std::nullopt;
    }
    QXmlStreamReader reader(text);
    if (!reader.readNextStartElement()) {
        error = QStringLiteral("The %1 document is not XML: %2").arg(name, reader.errorString());
        return std::nullopt;
    }
    if (reader.name() != name) {
        error = QStringLiteral("Expected element %1, found %2").arg(name, reader.name());
        return std::nullopt;
    }
    QXmlStreamAttributes attributes = reader.attributes();
    // Read to the end so that malformed text after the element is noticed.
    while (!reader.atEnd()) {
        reader.readNext();
    }
    if (reader.hasError()) {
        error = QStringLiteral("The %1 document is malformed (line %2): %3")
                    .arg(name)
                    .arg(reader.lineNumber())
                    .arg(reader.errorString());
        return std::nullopt;
    }
    return attributes;
}

std::optional<QString> Required(const QXmlStreamAttributes& attributes, const QString& element,
                                const QString& attribute, QString& error) {
    if (!attributes.hasAttribute(attribute)) {
        error = QStringLiteral("Element %1 lacks the attribute %2").arg(element, attribute);
        return std::nullopt;
    }
    return attributes.value(attribute).toString();
}

std::optional<int> RequiredNumber(const QXmlStreamAttributes& attributes, const QString& element,
                                  const QString& attribute, int minimum, int maximum,
                                  QString& error) {
    const auto text = Required(attributes, element, attribute, error);
    if (!text) {
        return std::nullopt;
    }
    bool ok = false;
    const int value = text->trimmed().toInt(&ok);
    if (!ok) {
        error = QStringLiteral("Attribute %1 of %2 is not a number: '%3'")
                    .arg(attribute, element, *text);
        return std::nullopt;
    }
    if (value < minimum || value > maximum) {
        error = QStringLiteral("Attribute %1 of %2 is %3, outside %4 to %5")
                    .arg(attribute, element)
                    .arg(value)
                    .arg(minimum)
                    .arg(maximum);
        return std::nullopt;
    }
    return value;
}

constexpr int kMaxInt = std::numeric_limits<int>::max();

} // namespace

namespace documents {

QString ModuleDocument(const ModuleObject& module) {
    return Element(QStringLiteral("Module"),
                   {{QStringLiteral("slotNumber"), QString::number(module.slotNumber)},
                    {QStringLiteral("typeName"), module.typeName}});
}

QString ChannelDocument(const ChannelObject& channel) {
    return Element(QStringLiteral("Channel"),
                   {{QStringLiteral("channelNumber"), QString::number(channel.channelNumber)},
                    {QStringLiteral("tag"), channel.tag}});
}

QString InfoDocument(const DtmInfoObject& information) {
    return Element(QStringLiteral("DtmInformation"),
                   {{QStringLiteral("name"), information.name},
                    {QStringLiteral("dtmRevision"), information.dtmRevision},
                    {QStringLiteral("fdtMajor"), QString::number(information.fdtMajorVersion)},
                    {QStringLiteral("fdtMinor"), QString::number(information.fdtMinorVersion)}});
}

} // namespace documents

bool ModuleReader::Parse(const QString& text, IDocumentContext* /*context*/) {
    const QString element = QStringLiteral("Module");
    m_lastError.clear();
    const auto attributes = RootAttributes(text, element, m_lastError);
    if (!attributes) {
        return false;
    }
    const auto slot =
        RequiredNumber(*attributes, element, QStringLiteral("slotNumber"), 0, kMaxInt, m_lastError);
    if (!slot) {
        return false;
    }
    const auto typeName = Required(*attributes, element, QStringLiteral("typeName"), m_lastError);
    if (!typeName) {
        return false;
    }
    m_module = ModuleObject{*slot, *typeName};
    return true;
}

bool ChannelReader::Parse(const QString& text, IDocumentContext* /*context*/) {
    const QString element = QStringLiteral("Channel");
    m_lastError.clear();
    const auto attributes = RootAttributes(text, element, m_lastError);
    if (!attributes) {
        return false;
    }
    const auto number =
        RequiredNumber(*attributes, element, QStringLiteral("channelNumber"), 1, 8, m_lastError);
    if (!number) {
        return false;
    }
    const auto tag = Required(*attributes, element, QStringLiteral("tag"), m_lastError);
    if (!tag) {
        return false;
    }
    m_channel = ChannelObject{*number, *tag};
    return true;
}

bool InfoReader::Parse(const QString& text, IDocumentContext* /*context*/) {
    const QString element = QStringLiteral("DtmInformation");
    m_lastError.clear();
    const auto attributes = RootAttributes(text, element, m_lastError);
    if (!attributes) {
        return false;
    }
    const auto name = Required(*attributes, element, QStringLiteral("name"), m_lastError);
    if (!name) {
        return false;
    }
    const auto revision =
        Required(*attributes, element, QStringLiteral("dtmRevision"), m_lastError);
    if (!revision) {
        return false;
    }
    const auto major =
        RequiredNumber(*attributes, element, QStringLiteral("fdtMajor"), 0, kMaxInt, m_lastError);
    if (!major) {
        return false;
    }
    const auto minor =
        RequiredNumber(*attributes, element, QStringLiteral("fdtMinor"), 0, kMaxInt, m_lastError);
    if (!minor) {
        return false;
    }
    m_information = DtmInfoObject{*name, *revision, *major, *minor};
    return true;
}

} // namespace rq16::standins
