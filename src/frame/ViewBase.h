#pragma once
// What every view shares: construction, Init, the button bar and its close
// and help events, release, resizing and error reports.

#include "host/ButtonControl.h"
#include "host/Components.h"
#include "host/Dtm.h"
#include "host/ResourceManager.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

class QLabel;

namespace rq16 {

/// What a view states about itself at construction.
struct ViewTraits {
    QString typeName;           ///< "Diagnosis", "Parameter", ... (place of log entries)
    std::int32_t helpContextId; ///< topic of the help event; 0 for none
    bool hasButtonBar = true;   ///< About has none
    /// The view shows the data set lock on its bar and locks its editable
    /// controls while another user holds the data set.
    bool followsDataSetLock = false;
    /// Common text of the extra button's caption; 0 for no extra button.
    std::int32_t extraButtonTextId = 0;
    /// First entry of Init: place suffix and message.
    QString initEntryPlace = QString();
    QString initEntryText = QStringLiteral("IDtmActiveXControl_Init");
    /// Place suffix of the entries of errors inside Init.
    QString initErrorSuffix = QStringLiteral(".Init, Error: ");
    /// The bar set-up locks the controls, right after the standard buttons,
    /// when the UI manager allows no editing.
    bool locksInBarSetUp = false;
};

class ViewBase : public QWidget,
                 public IDtmActiveXControl,
                 public IButtonControlEvents,
                 public IBaseDtmEvents {
    Q_OBJECT
public:
    explicit ViewBase(ViewTraits traits, QWidget* parent = nullptr);
    ~ViewBase() override;

    ViewBase(const ViewBase&) = delete;
    ViewBase& operator=(const ViewBase&) = delete;

    const QString& typeName() const { return m_traits.typeName; }

    /// The shared Init: takes the DTM and its kernel objects, creates the
    /// resource managers, runs the view's hooks (captions, pictures, header,
    /// button bar), then AfterInit, InitFinished and returns true. Errors are
    /// logged with place typeName + ".Init, Error: " and Init goes on.
    bool IDtmActiveXControl_Init(const QString& invokeId, const QString& functionCall,
                                 IDtm* Dtm) override;
    // IDtmActiveXControl_PrepareToRelease is each view's own: what a view
    // waits for before PreparedToRelease differs from view to view.

    /// PreparedToRelease has been sent; the view holds no DTM any more and
    /// logs and sends nothing further.
    bool Released() const { return m_blnReleased; }

    // Button bar events: close and help as every view has them.
    void ctlButtons_Close() override;
    void ctlButtons_Help() override;

    // Kernel events. With followsDataSetLock, a lock shows "locked by" and
    // the user on the bar and locks the controls unless this DTM holds the
    // data set; an unlock clears the message and locks the controls, except
    // for the "COMPATIBILITY" user.
    void BaseDtm_LockDataSet(const QString& userName) override;
    void BaseDtm_UnlockDataSet(const QString& userName) override;
    void BaseDtm_ParameterChanged() override;

    /// The view's report of an error to the frame application, or a critical
    /// message box when no DTM is there.
    void ReportError(std::int32_t number, const QString& message, const QString& place);

    /// The text the message box of ReportError shows when no DTM is there.
    static QString noDtmMessage();

    /// Replaces the modal critical message box (tests, headless hosts); an
    /// empty function restores the message box.
    using CriticalMessageHandler = std::function<void(const QString&)>;
    static void SetCriticalMessageHandler(CriticalMessageHandler handler);

    IButtonControl* buttonBar() const { return ctlButtons.get(); }
    std::intptr_t helpResult() const { return lHelpResult; }

    /// With content above the bar: the content's size hint plus the bar.
    QSize sizeHint() const override;

protected:
    // ---- hooks of the shared Init, in the order they run ----
    /// Online views take their communication object, queue and id generator.
    virtual void TakeCommunicationObjects() {}
    /// Captions from resources; each caption is its own InitStatement, so a
    /// missing text leaves only its own caption as designed.
    virtual void LoadCaptions() {}
    /// Pictures; use TryLoadPicture so errors are collected, not thrown.
    virtual void LoadPictures() {}
    /// The header label and other values shown offline.
    virtual void FillHeader() {}
    /// Runs after the bar is set up and before InitFinished (online views
    /// queue CallConnect here).
    virtual void AfterInit() {}
    /// The editable controls of a view that follows the data set lock.
    virtual void LockControls() {}
    virtual void UnlockControls() {}
    /// The user whose unlock leaves a view's controls as they are.
    static bool IsCompatibilityUser(const QString& userName) {
        return userName == QLatin1String("COMPATIBILITY");
    }
    /// Button bar set-up, one InitStatement per call of the bar.
    void SetUpButtonBar();

    // ---- building blocks ----
    /// One statement of Init: an error it raises is logged with place
    /// typeName + m_traits.initErrorSuffix and Init goes on with the next
    /// statement.
    template <typename F> bool InitStatement(F&& statement) {
        return Guarded(m_traits.initErrorSuffix, std::forward<F>(statement));
    }
    /// m_objDtm, the kernel (advised for its events), the document context
    /// and the parameter manager, each its own InitStatement. A missing DTM
    /// or kernel is logged and reported (with the message box of
    /// ReportError, as no kernel is there to tell the frame application).
    void TakeDtm(IDtm* dtm);
    /// The DTM, its kernel and the kernel's parameter manager; each throws a
    /// ComError when the view holds none (before Init, after release).
    IDtm& Dtm() const;
    IDtmKernel& Kernel() const;
    IParameterManager& ParameterManager() const;
    /// Closes the help windows the view opened, if it opened any.
    void CloseHelp();
    /// Sends PreparedToRelease with the Init invoke id, once, then drops
    /// every DTM reference.
    void SendPreparedToRelease();
    /// Unadvises the kernel and drops every DTM reference.
    void DropDtmReferences();
    /// A new resource manager that copies the kernel resource manager's
    /// configuration (throws on any failure).
    std::unique_ptr<IResourceManager> NewConfiguredResourceManager();
    /// `manager` := a new resource manager, then takes over the kernel
    /// resource manager's configuration; each an InitStatement.
    void CreateConfiguredResourceManager(std::unique_ptr<IResourceManager>& manager);
    /// Creates m_objResourceManager and m_objDeviceResourceManager, each
    /// creation and configuration its own InitStatement.
    void CreateResourceManagers();
    /// Common text `id` (folder sCommonResourcePath).
    QString CommonText(std::int32_t id);
    /// Device text `id` (folder sDeviceResourcePath).
    QString DeviceText(std::int32_t id);
    /// Loads a picture into a label; on error remembers it as pending and
    /// returns false.
    bool TryLoadPicture(QLabel* target, std::int32_t id, int width, int height,
                        const QString& folder);
    /// Log entry with place typeName + suffix.
    void Log(const QString& suffix, const QString& message = QString()) const;
    /// Runs `step`; a ComError or other exception is logged with place
    /// typeName + suffix and execution goes on. Returns false on error.
    template <typename F> bool Guarded(const QString& suffix, F&& step);
    /// The module object read from the parameter manager's "FDT" document.
    ModuleObject ReadModule();
    /// Channel item `index` (counted from 1) of the DTM, read from its "FDT"
    /// document. Throws ComError when the item is missing or unreadable.
    ChannelObject ReadChannel(int index);
    /// Whether log entries go anywhere; callers skip building costly messages.
    static bool LogEnabled();
    /// Places the button bar along the lower edge, and the content widget
    /// given to SetContentAboveBar in the room above it.
    void resizeEvent(QResizeEvent* event) override;
    /// The content lies above the bar and takes the rest of the view; the
    /// view's size hint becomes the content's plus the bar's height.
    void SetContentAboveBar(QWidget* content) { m_contentAboveBar = content; }
    /// Before the view is first shown, every label is set to show plain
    /// text (captions come from files and must not act as markup) and the
    /// button bar is put last in the tab order.
    bool event(QEvent* event) override;
    void PutButtonBarLastInTabOrder();

    ViewTraits m_traits;
    QWidget* m_contentAboveBar = nullptr; // a child of the view, or null

    IDtm* m_objDtm = nullptr;
    IDtmKernel* m_objKernel = nullptr;
    IParameterManager* m_objParameterManager = nullptr;
    IDocumentContext* m_objDocumentContext = nullptr;
    QString m_sInvokeId;
    std::unique_ptr<IResourceManager> m_objResourceManager;
    std::unique_ptr<IResourceManager> m_objDeviceResourceManager;
    QString sCommonResourcePath;
    QString sDeviceResourcePath;
    std::intptr_t lHelpResult = 0;
    std::unique_ptr<IButtonControl> ctlButtons;
    bool m_blnReleased = false;

    /// The last picture error since Init began, logged once after LoadPictures.
    std::optional<ComError> m_pendingPictureError;
};

template <typename F> bool ViewBase::Guarded(const QString& suffix, F&& step) {
    try {
        step();
        return true;
    } catch (const ComError& e) {
        Log(suffix, e.description());
    } catch (const std::exception& e) {
        Log(suffix, QString::fromUtf8(e.what()));
    }
    return false;
}

} // namespace rq16
