#pragma once
// Recording fakes of the helper objects the views create, and the factory
// that hands them out.

#include "CallLog.h"

#include "frame/ComponentRegistry.h"
#include "frame/host/ButtonControl.h"
#include "frame/host/Components.h"
#include "frame/host/ResourceManager.h"

#include <QPointer>
#include <QWidget>

#include <map>
#include <set>

namespace rq16::test {

/// Texts are "T<id>" unless overridden; pictures are small pixmaps whose id
/// PictureId() tells back. Ids in the failing sets throw ComError.
class FakeResourceManager : public IResourceManager {
public:
    explicit FakeResourceManager(CallLog& log) : m_log(log) {}

    QString GetString(std::int32_t id, const QString& folder) override;
    QPixmap LoadPicture(std::int32_t id, int width, int height, const QString& folder) override;
    QString Language() const override { return m_language; }
    void SetLanguage(const QString& language) override;
    QString DefaultFolder() const override { return m_defaultFolder; }
    void SetDefaultFolder(const QString& folder) override;

    /// The picture id a pixmap from LoadPicture was made for; -1 if none.
    static int PictureId(const QPixmap& pixmap);

    /// Texts and failures shared by every fake resource manager.
    static std::map<std::int32_t, QString>& texts();
    static std::set<std::int32_t>& failingTexts();
    static std::set<std::int32_t>& failingPictures();
    static void resetShared();

    /// Whether GetString/LoadPicture calls are written to the call log.
    static bool& logLookups();

private:
    CallLog& m_log;
    QString m_language;
    QString m_defaultFolder;
};

/// A button bar that records every call and keeps the state a real one shows.
class FakeButtonControl : public IButtonControl {
public:
    FakeButtonControl(CallLog& log, QWidget* parent);
    ~FakeButtonControl() override;

    QWidget* widget() override { return m_widget; }
    void SetEventSink(IButtonControlEvents* sink) override { m_sink = sink; }
    void SetResourceManager(IResourceManager* manager) override;
    void SetArea(int width, int height) override;
    void SetStandardButtons(bool ok, bool cancel, bool apply, bool close) override;
    void SetExtraButton(const QString& caption, const QString& toolTip, int flags) override;
    void SetMessage(const QString& message) override;
    void SetOnline(bool online) override;
    void DisableButtons() override;
    void EnableButtons() override;
    void ShowActivity() override;
    void HideActivity() override;
    void EnableApply() override;
    void DisableApply() override;
    void EnableOk() override;
    void DisableOk() override;

    // Pressing the bar's buttons.
    void clickApply() { m_sink->ctlButtons_Apply(); }
    void clickCancel() { m_sink->ctlButtons_Cancel(); }
    void clickOk() { m_sink->ctlButtons_OK(); }
    void clickHelp() { m_sink->ctlButtons_Help(); }
    void clickClose() { m_sink->ctlButtons_Close(); }
    void clickExtra() { m_sink->ctlButtons_ExtraCommand(); }

    bool online = false;
    bool buttonsEnabled = true;
    bool activity = false;
    bool applyEnabled = true;
    bool okEnabled = true;
    QString message;
    QString extraCaption;
    IResourceManager* resourceManager = nullptr;

private:
    CallLog& m_log;
    QPointer<QWidget> m_widget;
    IButtonControlEvents* m_sink = nullptr;
};

/// A queue that only records; the test runs the calls when it wants.
class ManualDeferredCallQueue : public IDeferredCallQueue {
public:
    explicit ManualDeferredCallQueue(CallLog& log) : m_log(log) {}
    QString Add(QObject* view, const QString& operation, const QVariant& arguments) override;

    /// Runs the oldest pending call; false if none is pending.
    bool runNext();
    /// Runs pending calls (including those they add) until none is left or
    /// `limit` calls ran; returns how many ran.
    int runAll(int limit = 1000);
    QStringList pendingNames() const;
    bool empty() const { return m_pending.empty(); }

private:
    struct Pending {
        QPointer<QObject> view;
        QString operation;
    };
    CallLog& m_log;
    std::vector<Pending> m_pending;
    int m_next = 0;
};

class FakeInvokeIdGenerator : public IInvokeIdGenerator {
public:
    QString NewInvokeId() override { return QStringLiteral("ID%1").arg(++counter()); }
    static int& counter() {
        static int n = 0;
        return n;
    }
};

/// Answers in a fake syntax: "CONNECT:<ref>", "ERROR:<text>",
/// "DATA:<hex bytes>", "NODATA"; anything else fails to parse.
class FakeResponseParser : public IResponseParser {
public:
    bool Parse(const QString& answer, IDocumentContext* context) override;
    QString LastError() const override { return m_lastError; }
    QString CommunicationReference() const override { return m_reference; }
    bool HasCommunicationError() const override { return m_hasError; }
    QString ErrorText() const override { return m_errorText; }
    bool HasData() const override { return m_hasData; }
    ByteArray Data() const override { return m_data; }
    bool Serialize(QString& document, const CommunicationRequest& request) override;

    static ByteArray ParseHex(const QString& text);

private:
    QString m_lastError, m_reference, m_errorText;
    bool m_hasError = false, m_hasData = false;
    ByteArray m_data;
};

/// Readers over "a|b|..." documents; a document starting with "!" fails with
/// the rest as LastError.
class FakeModuleReader : public IModuleReader {
public:
    bool Parse(const QString& text, IDocumentContext* context) override;
    QString LastError() const override { return m_error; }
    ModuleObject Module() const override { return m_module; }

private:
    QString m_error;
    ModuleObject m_module;
};

class FakeChannelReader : public IChannelReader {
public:
    bool Parse(const QString& text, IDocumentContext* context) override;
    QString LastError() const override { return m_error; }
    ChannelObject Channel() const override { return m_channel; }

private:
    QString m_error;
    ChannelObject m_channel;
};

class FakeInfoReader : public IInfoReader {
public:
    bool Parse(const QString& text, IDocumentContext* context) override;
    QString LastError() const override { return m_error; }
    DtmInfoObject Information() const override { return m_info; }

private:
    QString m_error;
    DtmInfoObject m_info;
};

/// Creates the fakes above, records what it created, and installs itself as
/// the component factory for its lifetime.
class FakeComponentFactory : public IComponentFactory {
public:
    explicit FakeComponentFactory(CallLog& log);
    ~FakeComponentFactory() override;
    FakeComponentFactory(const FakeComponentFactory&) = delete;
    FakeComponentFactory& operator=(const FakeComponentFactory&) = delete;

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

    /// The last of each kind created (owned by the view that asked).
    FakeButtonControl* lastButtonBar = nullptr;
    ManualDeferredCallQueue* lastQueue = nullptr;
    std::vector<FakeResourceManager*> resourceManagers;

private:
    CallLog& m_log;
};

} // namespace rq16::test
