#pragma once
// Helper objects that the views create for themselves, and the factory that
// creates them (the counterpart of creating a registered class by name).

#include "Types.h"

#include <QDate>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>

class QObject;
class QWidget;

namespace rq16 {

class IDocumentContext;
class IResourceManager;
class IButtonControl;

/// Calls a public operation of a view by name, later, on the same thread,
/// after the current call has returned. The operation is a Q_INVOKABLE member
/// taking one QVariant (the arguments, which no operation reads).
class IDeferredCallQueue {
public:
    virtual ~IDeferredCallQueue() = default;
    virtual QString Add(QObject* view, const QString& operation,
                        const QVariant& arguments = QVariant()) = 0;
};

class IInvokeIdGenerator {
public:
    virtual ~IInvokeIdGenerator() = default;
    /// A non-empty id that this generator has not returned before.
    virtual QString NewInvokeId() = 0;
};

// Request objects that ResponseParser::Serialize turns into a document.
struct DataItem {
    ByteArray value;
};
struct ReadRequestItem {
    QString communicationReference;
    std::int32_t slotNumber = 0;
    std::int16_t index = 0;
};
struct WriteRequestItem {
    QString communicationReference;
    std::int32_t slotNumber = 0;
    std::int16_t index = 0;
    std::optional<DataItem> dataItem;
};
struct CommunicationRequest {
    std::optional<ReadRequestItem> readItem;
    std::optional<WriteRequestItem> writeItem;
};

/// Parses answer documents of the communication object and serialises
/// request objects into documents.
class IResponseParser {
public:
    virtual ~IResponseParser() = default;
    /// True if the answer could be parsed; then exactly what the answer holds
    /// is available below. False leaves the reason in LastError.
    virtual bool Parse(const QString& answer, IDocumentContext* context) = 0;
    virtual QString LastError() const = 0;

    /// The communication reference of a positive connect answer, else empty.
    virtual QString CommunicationReference() const = 0;
    /// The answer is negative and carries a communication error.
    virtual bool HasCommunicationError() const = 0;
    virtual QString ErrorText() const = 0;
    /// The answer carries a data element (possibly with zero bytes).
    virtual bool HasData() const = 0;
    virtual ByteArray Data() const = 0;

    virtual bool Serialize(QString& document, const CommunicationRequest& request) = 0;
};

struct ModuleObject {
    std::int32_t slotNumber = 0;
    QString typeName;
};
struct ChannelObject {
    int channelNumber = 0; ///< 1 to 8
    QString tag;
};
struct DtmInfoObject {
    QString name;
    QString dtmRevision;
    int fdtMajorVersion = 0;
    int fdtMinorVersion = 0;
};

class IModuleReader {
public:
    virtual ~IModuleReader() = default;
    virtual bool Parse(const QString& text, IDocumentContext* context) = 0;
    virtual QString LastError() const = 0;
    virtual ModuleObject Module() const = 0;
};

class IChannelReader {
public:
    virtual ~IChannelReader() = default;
    virtual bool Parse(const QString& text, IDocumentContext* context) = 0;
    virtual QString LastError() const = 0;
    virtual ChannelObject Channel() const = 0;
};

class IInfoReader {
public:
    virtual ~IInfoReader() = default;
    virtual bool Parse(const QString& text, IDocumentContext* context) = 0;
    virtual QString LastError() const = 0;
    virtual DtmInfoObject Information() const = 0;
};

/// An object that a property bag can hold.
class IPersistable {
public:
    virtual ~IPersistable() = default;
    virtual QByteArray SaveState() const = 0;
    /// Throws ComError if the state cannot be read.
    virtual void LoadState(const QByteArray& state) = 0;
};

/// The module's production data (QS data).
class IQsData : public IPersistable {
public:
    /// Decodes the QS bytes as received; throws ComError on bytes it cannot use.
    virtual void LoadBytes(const ByteArray& bytes) = 0;
    virtual QString ChargeCode() const = 0;
    virtual QString SerialNumber() const = 0;
    virtual QString SoftwareRevision() const = 0;
    virtual QString HardwareRevision() const = 0;
    virtual QDate DateOfLastRefresh() const = 0;
};

/// The module's I&M0, I&M1 and I&M2 records.
class IIMData : public IPersistable {
public:
    /// Decodes the three records as received; throws ComError on bytes it
    /// cannot use.
    virtual void LoadRecords(const ByteArray& im0, const ByteArray& im1, const ByteArray& im2) = 0;
    virtual QString IM1Header() const = 0;
    virtual QString TagFunction() const = 0;
    virtual void SetTagFunction(const QString& value) = 0;
    virtual QString TagLocation() const = 0;
    virtual void SetTagLocation(const QString& value) = 0;
    virtual QString IM2Header() const = 0;
    virtual QString InstallationDate() const = 0;
    virtual void SetInstallationDate(const QString& value) = 0;
    virtual QString IM2Reserved() const = 0;
};

/// Holds objects under keys; its contents are a byte block that the data set
/// stores.
class IPropertyBag {
public:
    virtual ~IPropertyBag() = default;
    virtual ByteArray Contents() const = 0;
    virtual void SetContents(const ByteArray& contents) = 0;
    virtual void WriteProperty(const QString& key, const IPersistable& object) = 0;
    /// Throws ComError if the key is missing or its state cannot be read.
    virtual void ReadProperty(const QString& key, IPersistable& object) = 0;
};

/// Creates the outside helper objects. The host installs one before it
/// creates any control (SetComponentFactory).
class IComponentFactory {
public:
    virtual ~IComponentFactory() = default;
    virtual std::unique_ptr<IResourceManager> CreateResourceManager() = 0;
    virtual std::unique_ptr<IButtonControl> CreateButtonControl(QWidget* parent) = 0;
    virtual std::unique_ptr<IDeferredCallQueue> CreateDeferredCallQueue() = 0;
    virtual std::unique_ptr<IInvokeIdGenerator> CreateInvokeIdGenerator() = 0;
    virtual std::unique_ptr<IResponseParser> CreateResponseParser() = 0;
    virtual std::unique_ptr<IModuleReader> CreateModuleReader() = 0;
    virtual std::unique_ptr<IChannelReader> CreateChannelReader() = 0;
    virtual std::unique_ptr<IInfoReader> CreateInfoReader() = 0;
    virtual std::unique_ptr<IQsData> CreateQsData() = 0;
    virtual std::unique_ptr<IIMData> CreateIMData() = 0;
    virtual std::unique_ptr<IPropertyBag> CreatePropertyBag() = 0;
};

} // namespace rq16
