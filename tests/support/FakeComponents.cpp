#include "FakeComponents.h"

#include "FakeHost.h"

#include <QDataStream>
#include <QIODevice>
#include <QMetaMethod>
#include <QPainter>

namespace rq16::test {

// ---------------------------------------------------------------- resources

namespace {
std::map<qint64, int>& PictureIds() {
    static std::map<qint64, int> ids;
    return ids;
}
} // namespace

std::map<std::int32_t, QString>& FakeResourceManager::texts() {
    static std::map<std::int32_t, QString> t;
    return t;
}
std::set<std::int32_t>& FakeResourceManager::failingTexts() {
    static std::set<std::int32_t> s;
    return s;
}
std::set<std::int32_t>& FakeResourceManager::failingPictures() {
    static std::set<std::int32_t> s;
    return s;
}
bool& FakeResourceManager::logLookups() {
    static bool on = true;
    return on;
}
void FakeResourceManager::resetShared() {
    texts().clear();
    failingTexts().clear();
    failingPictures().clear();
    logLookups() = true;
}

QString FakeResourceManager::GetString(std::int32_t id, const QString& folder) {
    if (logLookups()) {
        m_log.add(QStringLiteral("ResourceManager.GetString(%1,%2)").arg(id).arg(folder));
    }
    if (failingTexts().count(id)) {
        throw ComError(kErrNotFound, QStringLiteral("Text %1 not found").arg(id));
    }
    const auto it = texts().find(id);
    return it != texts().end() ? it->second : QStringLiteral("T%1").arg(id);
}

QPixmap FakeResourceManager::LoadPicture(std::int32_t id, int width, int height,
                                         const QString& folder) {
    if (logLookups()) {
        m_log.add(QStringLiteral("ResourceManager.LoadPicture(%1,%2,%3,%4)")
                      .arg(id)
                      .arg(width)
                      .arg(height)
                      .arg(folder));
    }
    if (failingPictures().count(id)) {
        throw ComError(kErrNotFound, QStringLiteral("Picture %1 not found").arg(id));
    }
    QPixmap pixmap(width > 0 ? width : 16, height > 0 ? height : 16);
    pixmap.fill(
        QColor::fromRgb(static_cast<QRgb>(0xFF000000u | static_cast<quint32>(id) * 2654435761u)));
    PictureIds()[pixmap.cacheKey()] = id;
    return pixmap;
}

int FakeResourceManager::PictureId(const QPixmap& pixmap) {
    const auto it = PictureIds().find(pixmap.cacheKey());
    return it != PictureIds().end() ? it->second : -1;
}

void FakeResourceManager::SetLanguage(const QString& language) {
    m_log.add("ResourceManager.SetLanguage(" + language + ")");
    m_language = language;
}

void FakeResourceManager::SetDefaultFolder(const QString& folder) {
    m_log.add("ResourceManager.SetDefaultFolder(" + folder + ")");
    m_defaultFolder = folder;
}

// ---------------------------------------------------------------- button bar

FakeButtonControl::FakeButtonControl(CallLog& log, QWidget* parent)
    : m_log(log), m_widget(new QWidget(parent)) {
    m_widget->setObjectName(QStringLiteral("ctlButtons"));
    m_widget->setFixedHeight(30);
}

FakeButtonControl::~FakeButtonControl() {
    // The widget belongs to the view's widget tree when it has a parent.
    if (m_widget && !m_widget->parent()) {
        delete m_widget;
    }
}

void FakeButtonControl::SetResourceManager(IResourceManager* manager) {
    m_log.add("Buttons.SetResourceManager");
    resourceManager = manager;
}
void FakeButtonControl::SetArea(int width, int height) {
    m_log.add(QStringLiteral("Buttons.SetArea(%1,%2)").arg(width).arg(height));
}
void FakeButtonControl::SetStandardButtons(bool ok, bool cancel, bool apply, bool close) {
    m_log.add(QStringLiteral("Buttons.SetStandardButtons(%1,%2,%3,%4)")
                  .arg(ok)
                  .arg(cancel)
                  .arg(apply)
                  .arg(close));
}
void FakeButtonControl::SetExtraButton(const QString& caption, const QString& toolTip, int flags) {
    m_log.add(QStringLiteral("Buttons.SetExtraButton(%1,%2,%3)").arg(caption, toolTip).arg(flags));
    extraCaption = caption;
}
void FakeButtonControl::SetMessage(const QString& text) {
    m_log.add("Buttons.SetMessage(" + text + ")");
    message = text;
}
void FakeButtonControl::SetOnline(bool value) {
    m_log.add(QStringLiteral("Buttons.SetOnline(%1)").arg(value ? "true" : "false"));
    online = value;
}
void FakeButtonControl::DisableButtons() {
    m_log.add("Buttons.DisableButtons");
    buttonsEnabled = false;
}
void FakeButtonControl::EnableButtons() {
    m_log.add("Buttons.EnableButtons");
    buttonsEnabled = true;
}
void FakeButtonControl::ShowActivity() {
    m_log.add("Buttons.ShowActivity");
    activity = true;
}
void FakeButtonControl::HideActivity() {
    m_log.add("Buttons.HideActivity");
    activity = false;
}
void FakeButtonControl::EnableApply() {
    m_log.add("Buttons.EnableApply");
    applyEnabled = true;
}
void FakeButtonControl::DisableApply() {
    m_log.add("Buttons.DisableApply");
    applyEnabled = false;
}
void FakeButtonControl::EnableOk() {
    m_log.add("Buttons.EnableOk");
    okEnabled = true;
}
void FakeButtonControl::DisableOk() {
    m_log.add("Buttons.DisableOk");
    okEnabled = false;
}

// ---------------------------------------------------------------- queue

QString ManualDeferredCallQueue::Add(QObject* view, const QString& operation, const QVariant&) {
    m_log.add("Queue.Add(" + operation + ")");
    m_pending.push_back({view, operation});
    return QStringLiteral("Q%1").arg(++m_next);
}

bool ManualDeferredCallQueue::runNext() {
    if (m_pending.empty()) {
        return false;
    }
    const Pending call = m_pending.front();
    m_pending.erase(m_pending.begin());
    if (!call.view) {
        return true;
    }
    m_log.add("Queue.Run(" + call.operation + ")");
    const QByteArray name = call.operation.toLatin1();
    const QMetaObject* meta = call.view->metaObject();
    bool invoked = false;
    for (int i = meta->methodOffset(); i >= 0 && i < meta->methodCount() && !invoked; ++i) {
        const QMetaMethod m = meta->method(i);
        if (m.name() != name) {
            continue;
        }
        if (m.parameterCount() == 1) {
            invoked = m.invoke(call.view, Qt::DirectConnection, Q_ARG(QVariant, QVariant()));
        } else if (m.parameterCount() == 0) {
            invoked = m.invoke(call.view, Qt::DirectConnection);
        }
    }
    if (!invoked) {
        // Search the whole hierarchy (base classes declare the operations).
        invoked = QMetaObject::invokeMethod(call.view, name.constData(), Qt::DirectConnection,
                                            Q_ARG(QVariant, QVariant())) ||
                  QMetaObject::invokeMethod(call.view, name.constData(), Qt::DirectConnection);
    }
    if (!invoked) {
        m_log.add("Queue.Failed(" + call.operation + ")");
    }
    return true;
}

int ManualDeferredCallQueue::runAll(int limit) {
    int ran = 0;
    while (ran < limit && runNext()) {
        ++ran;
    }
    return ran;
}

QStringList ManualDeferredCallQueue::pendingNames() const {
    QStringList names;
    for (const auto& p : m_pending) {
        names << p.operation;
    }
    return names;
}

// ---------------------------------------------------------------- parser

ByteArray FakeResponseParser::ParseHex(const QString& text) {
    ByteArray bytes;
    for (const QString& part : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        bytes.push_back(static_cast<std::uint8_t>(part.toUInt(nullptr, 16)));
    }
    return bytes;
}

bool FakeResponseParser::Parse(const QString& answer, IDocumentContext*) {
    m_reference.clear();
    m_errorText.clear();
    m_hasError = m_hasData = false;
    m_data.clear();
    if (answer.startsWith(QLatin1String("CONNECT:"))) {
        m_reference = answer.mid(8);
        return true;
    }
    if (answer.startsWith(QLatin1String("ERROR:"))) {
        m_hasError = true;
        m_errorText = answer.mid(6);
        return true;
    }
    if (answer.startsWith(QLatin1String("DATA:"))) {
        m_hasData = true;
        m_data = ParseHex(answer.mid(5));
        return true;
    }
    if (answer == QLatin1String("NODATA") || answer == QLatin1String("OK")) {
        return true;
    }
    m_lastError = QStringLiteral("unparsable: ") + answer;
    return false;
}

bool FakeResponseParser::Serialize(QString& document, const CommunicationRequest& request) {
    if (request.readItem) {
        const auto& r = *request.readItem;
        document = QStringLiteral("READ %1 %2 %3")
                       .arg(r.communicationReference)
                       .arg(r.slotNumber)
                       .arg(r.index);
        return true;
    }
    if (request.writeItem) {
        const auto& w = *request.writeItem;
        document = QStringLiteral("WRITE %1 %2 %3 %4")
                       .arg(w.communicationReference)
                       .arg(w.slotNumber)
                       .arg(w.index)
                       .arg(w.dataItem ? FakeParameterManager::Hex(w.dataItem->value) : QString());
        return true;
    }
    return false;
}

QString FakeParameterManager::Hex(const ByteArray& bytes) {
    QStringList parts;
    for (auto b : bytes) {
        parts << QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
    }
    return parts.join(QLatin1Char(' '));
}

// ---------------------------------------------------------------- readers

namespace {
bool Fails(const QString& text, QString& error) {
    if (text.startsWith(QLatin1Char('!'))) {
        error = text.mid(1);
        return true;
    }
    return false;
}
} // namespace

bool FakeModuleReader::Parse(const QString& text, IDocumentContext*) {
    if (Fails(text, m_error)) {
        return false;
    }
    const QStringList p = text.split(QLatin1Char('|'));
    m_module.slotNumber = p.value(0).toInt();
    m_module.typeName = p.value(1);
    return true;
}

bool FakeChannelReader::Parse(const QString& text, IDocumentContext*) {
    if (Fails(text, m_error)) {
        return false;
    }
    const QStringList p = text.split(QLatin1Char('|'));
    m_channel.channelNumber = p.value(0).toInt();
    m_channel.tag = p.value(1);
    return true;
}

bool FakeInfoReader::Parse(const QString& text, IDocumentContext*) {
    if (Fails(text, m_error)) {
        return false;
    }
    const QStringList p = text.split(QLatin1Char('|'));
    m_info.name = p.value(0);
    m_info.dtmRevision = p.value(1);
    m_info.fdtMajorVersion = p.value(2).toInt();
    m_info.fdtMinorVersion = p.value(3).toInt();
    return true;
}

// ---------------------------------------------------------------- data objects

namespace {

class FakeQsData : public IQsData {
public:
    // Fake layout: the bytes are "charge|serial|sw|hw|yyyy-MM-dd" in Latin-1.
    void LoadBytes(const ByteArray& bytes) override {
        const QString text = QString::fromLatin1(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<qsizetype>(bytes.size()));
        const QStringList p = text.split(QLatin1Char('|'));
        if (p.size() < 5) {
            throw ComError(kErrInvalidArg, QStringLiteral("QS data too short"));
        }
        m_fields = p;
    }
    QString ChargeCode() const override { return m_fields.value(0); }
    QString SerialNumber() const override { return m_fields.value(1); }
    QString SoftwareRevision() const override { return m_fields.value(2); }
    QString HardwareRevision() const override { return m_fields.value(3); }
    QDate DateOfLastRefresh() const override {
        return QDate::fromString(m_fields.value(4), Qt::ISODate);
    }
    QByteArray SaveState() const override { return m_fields.join(QLatin1Char('|')).toUtf8(); }
    void LoadState(const QByteArray& state) override {
        m_fields = QString::fromUtf8(state).split(QLatin1Char('|'));
    }

private:
    QStringList m_fields;
};

class FakeIMData : public IIMData {
public:
    void LoadRecords(const ByteArray&, const ByteArray& im1, const ByteArray& im2) override {
        auto text = [](const ByteArray& b, size_t from, size_t n) {
            QByteArray out;
            for (size_t i = from; i < from + n && i < b.size(); ++i) {
                out.append(static_cast<char>(b[i]));
            }
            return QString::fromLatin1(out);
        };
        m_im1Header = text(im1, 0, 10);
        m_tagFunction = text(im1, 10, 32);
        m_tagLocation = text(im1, 42, 22);
        m_im2Header = text(im2, 0, 10);
        m_installationDate = text(im2, 10, 16);
        m_im2Reserved = text(im2, 26, 38);
    }
    QString IM1Header() const override { return m_im1Header; }
    QString TagFunction() const override { return m_tagFunction; }
    void SetTagFunction(const QString& v) override { m_tagFunction = v; }
    QString TagLocation() const override { return m_tagLocation; }
    void SetTagLocation(const QString& v) override { m_tagLocation = v; }
    QString IM2Header() const override { return m_im2Header; }
    QString InstallationDate() const override { return m_installationDate; }
    void SetInstallationDate(const QString& v) override { m_installationDate = v; }
    QString IM2Reserved() const override { return m_im2Reserved; }
    QByteArray SaveState() const override {
        return QStringList{m_im1Header, m_tagFunction,      m_tagLocation,
                           m_im2Header, m_installationDate, m_im2Reserved}
            .join(QLatin1Char('\x1f'))
            .toUtf8();
    }
    void LoadState(const QByteArray& state) override {
        const QStringList p = QString::fromUtf8(state).split(QLatin1Char('\x1f'));
        m_im1Header = p.value(0);
        m_tagFunction = p.value(1);
        m_tagLocation = p.value(2);
        m_im2Header = p.value(3);
        m_installationDate = p.value(4);
        m_im2Reserved = p.value(5);
    }

private:
    QString m_im1Header, m_tagFunction, m_tagLocation, m_im2Header, m_installationDate,
        m_im2Reserved;
};

class FakePropertyBag : public IPropertyBag {
public:
    ByteArray Contents() const override {
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out << m_values;
        return ByteArray(bytes.begin(), bytes.end());
    }
    void SetContents(const ByteArray& contents) override {
        QByteArray bytes(reinterpret_cast<const char*>(contents.data()),
                         static_cast<qsizetype>(contents.size()));
        QDataStream in(&bytes, QIODevice::ReadOnly);
        m_values.clear();
        in >> m_values;
    }
    void WriteProperty(const QString& key, const IPersistable& object) override {
        m_values[key] = object.SaveState();
    }
    void ReadProperty(const QString& key, IPersistable& object) override {
        if (!m_values.contains(key)) {
            throw ComError(kErrInvalidArg, "No property " + key);
        }
        object.LoadState(m_values.value(key));
    }

private:
    QMap<QString, QByteArray> m_values;
};

} // namespace

// ---------------------------------------------------------------- factory

FakeComponentFactory::FakeComponentFactory(CallLog& log) : m_log(log) {
    SetComponentFactory(this);
}

FakeComponentFactory::~FakeComponentFactory() {
    SetComponentFactory(nullptr);
}

std::unique_ptr<IResourceManager> FakeComponentFactory::CreateResourceManager() {
    m_log.add("Factory.CreateResourceManager");
    auto rm = std::make_unique<FakeResourceManager>(m_log);
    resourceManagers.push_back(rm.get());
    return rm;
}
std::unique_ptr<IButtonControl> FakeComponentFactory::CreateButtonControl(QWidget* parent) {
    auto bar = std::make_unique<FakeButtonControl>(m_log, parent);
    lastButtonBar = bar.get();
    return bar;
}
std::unique_ptr<IDeferredCallQueue> FakeComponentFactory::CreateDeferredCallQueue() {
    auto queue = std::make_unique<ManualDeferredCallQueue>(m_log);
    lastQueue = queue.get();
    return queue;
}
std::unique_ptr<IInvokeIdGenerator> FakeComponentFactory::CreateInvokeIdGenerator() {
    return std::make_unique<FakeInvokeIdGenerator>();
}
std::unique_ptr<IResponseParser> FakeComponentFactory::CreateResponseParser() {
    return std::make_unique<FakeResponseParser>();
}
std::unique_ptr<IModuleReader> FakeComponentFactory::CreateModuleReader() {
    return std::make_unique<FakeModuleReader>();
}
std::unique_ptr<IChannelReader> FakeComponentFactory::CreateChannelReader() {
    return std::make_unique<FakeChannelReader>();
}
std::unique_ptr<IInfoReader> FakeComponentFactory::CreateInfoReader() {
    return std::make_unique<FakeInfoReader>();
}
std::unique_ptr<IQsData> FakeComponentFactory::CreateQsData() {
    return std::make_unique<FakeQsData>();
}
std::unique_ptr<IIMData> FakeComponentFactory::CreateIMData() {
    return std::make_unique<FakeIMData>();
}
std::unique_ptr<IPropertyBag> FakeComponentFactory::CreatePropertyBag() {
    return std::make_unique<FakePropertyBag>();
}

} // namespace rq16::test
