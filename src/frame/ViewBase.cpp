#include "ViewBase.h"
#include "Accessibility.h"
#include "PlainText.h"
#include "SkipOnError.h"

#include "ComponentRegistry.h"
#include "host/Constants.h"

#include "common/AppFolder.h"
#include "common/DebugHelper.h"
#include "common/HelpUtilities.h"

#include <QLabel>
#include <QMessageBox>
#include <QResizeEvent>

namespace rq16 {

namespace {
ViewBase::CriticalMessageHandler& CriticalHandler() {
    static ViewBase::CriticalMessageHandler handler;
    return handler;
}
} // namespace

ViewBase::ViewBase(ViewTraits traits, QWidget* parent)
    : QWidget(parent), m_traits(std::move(traits)) {
    std::int16_t mode = 0;
    ReadDebugSettings(mode);
    sCommonResourcePath = CommonResourceFolder();
    sDeviceResourcePath = DeviceResourceFolder();
    if (m_traits.hasButtonBar) {
        ctlButtons = Components().CreateButtonControl(this);
        ctlButtons->SetEventSink(this);
        QWidget* bar = ctlButtons->widget();
        bar->adjustSize();
    }
    new FocusRing(this);
}

ViewBase::~ViewBase() {
    if (ctlButtons) {
        ctlButtons->SetEventSink(nullptr);
    }
    if (m_objKernel) {
        m_objKernel->Unadvise(this);
    }
}

QString ViewBase::noDtmMessage() {
    return QStringLiteral("BIG Problem: Error occured and no Interface IDtmEvents avaliable!");
}

void ViewBase::SetCriticalMessageHandler(CriticalMessageHandler handler) {
    CriticalHandler() = std::move(handler);
}

bool ViewBase::IDtmActiveXControl_Init(const QString& invokeId, const QString& functionCall,
                                       IDtm* Dtm) {
    Q_UNUSED(functionCall);
    Log(m_traits.initEntryPlace, m_traits.initEntryText);

    // Every statement that calls outside is guarded on its own: after an
    // error Init goes on with the next statement and always finishes. The
    // hooks guard their own statements; the guard around each hook catches
    // what a hook lets through.
    TakeDtm(Dtm);
    InitStatement([&] { TakeCommunicationObjects(); });
    CreateResourceManagers();
    InitStatement([&] { LoadCaptions(); });

    m_pendingPictureError.reset();
    InitStatement([&] { LoadPictures(); });
    if (m_pendingPictureError && m_pendingPictureError->number() > 0) {
        Log(QStringLiteral(".IDtmActiveXControl_Init"),
            QStringLiteral("ERROR when loading Terminal Pictures: ") +
                QString::number(m_pendingPictureError->number()) + QStringLiteral(", ") +
                m_pendingPictureError->description());
    }
    m_pendingPictureError.reset();

    InitStatement([&] { FillHeader(); });
    m_sInvokeId = invokeId;
    InitStatement([&] { SetUpButtonBar(); });
    InitStatement([&] { AfterInit(); });
    // While the view is not yet inside a host's window, moving the bar walks
    // the view's own focus chain only; polishing then finds it in place.
    PutButtonBarLastInTabOrder();
    InitStatement([&] { Kernel().UiManager()->InitFinished(m_sInvokeId); });
    return true;
}

void ViewBase::SetUpButtonBar() {
    if (!ctlButtons) {
        return;
    }
    IButtonControl& bar = *ctlButtons;
    InitStatement([&] { bar.SetResourceManager(m_objResourceManager.get()); });
    InitStatement([&] { bar.SetArea(width(), height()); });
    InitStatement([&] { bar.SetStandardButtons(false, false, false, true); });
    InitStatement([&] { bar.DisableApply(); });
    if (m_traits.locksInBarSetUp) {
        InitStatement([&] {
            if (!Kernel().UiManager()->IsEditAllowed()) {
                LockControls();
            }
        });
    }
    if (const std::int32_t extra = m_traits.extraButtonTextId; extra != 0) {
        InitStatement([&] { bar.SetExtraButton(CommonText(extra), QString(), 0); });
    }
    InitStatement([&] { bar.ShowActivity(); });
    InitStatement([&] { bar.SetMessage(QString()); });
}

void ViewBase::CloseHelp() {
    if (lHelpResult != 0) {
        SkipOnError([&] { CloseAllHelp(this); });
    }
}

void ViewBase::SendPreparedToRelease() {
    if (m_blnReleased) {
        return;
    }
    m_blnReleased = true;
    try {
        if (m_objKernel) {
            m_objKernel->UiManager()->PreparedToRelease(m_sInvokeId);
        }
    } catch (const std::exception&) {
        DropDtmReferences();
        throw;
    }
    DropDtmReferences();
}

void ViewBase::ctlButtons_Close() {
    ctlButtons->DisableButtons();
    ctlButtons->ShowActivity();
    Log(QStringLiteral(".ctlButtons_Clos"));
    Log(QStringLiteral("_Clos"), QStringLiteral("Closing control"));
    if (m_objKernel) {
        m_objKernel->UiManager()->RequestClose(m_sInvokeId);
    }
}

void ViewBase::ctlButtons_Help() {
    // The help in the language of the view's texts; a topic that help does
    // not have is shown from the English help.
    const QString help =
        HelpFilePath(m_objResourceManager ? m_objResourceManager->Language() : QString());
    lHelpResult = ShowHelp(help, m_traits.helpContextId, this);
    if (lHelpResult == 0 && help != HelpFilePath()) {
        lHelpResult = ShowHelp(HelpFilePath(), m_traits.helpContextId, this);
    }
}

void ViewBase::BaseDtm_LockDataSet(const QString& userName) {
    if (!m_traits.followsDataSetLock) {
        return;
    }
    const QString onError = QStringLiteral(".LockDataSet, Error: ");
    Guarded(onError, [&] {
        ctlButtons->SetMessage(CommonText(kTextDataSetLockedBy) + QLatin1Char(' ') + userName);
    });
    Guarded(onError, [&] {
        if (Kernel().HoldsDataSetLock()) {
            UnlockControls();
        } else {
            LockControls();
        }
    });
}

void ViewBase::BaseDtm_UnlockDataSet(const QString& userName) {
    if (!m_traits.followsDataSetLock || IsCompatibilityUser(userName)) {
        return;
    }
    Guarded(QStringLiteral(".UnlockDataSet, Error: "), [&] {
        ctlButtons->SetMessage(QString());
        LockControls();
    });
}

void ViewBase::BaseDtm_ParameterChanged() {}

void ViewBase::ReportError(std::int32_t number, const QString& message, const QString& place) {
    Q_UNUSED(number);
    Q_UNUSED(place);
    if (!m_objDtm || !m_objKernel) {
        if (CriticalHandler()) {
            CriticalHandler()(noDtmMessage());
        } else {
            QMessageBox::critical(this, typeName(), noDtmMessage());
        }
        return;
    }
    const QString systemTag = m_objKernel->ParameterManager()->SystemTag();
    m_objKernel->OnErrorMessage(systemTag, message);
}

void ViewBase::TakeDtm(IDtm* dtm) {
    m_objDtm = dtm;
    const bool haveKernel = InitStatement([&] {
        m_objKernel = Dtm().DtmKernel();
        Kernel();
    });
    if (!haveKernel) {
        ReportError(kErrInvalidArg, QStringLiteral("Init without a DTM or without its kernel"),
                    QStringLiteral("IDtmActiveXControl_Init"));
        return;
    }
    InitStatement([&] { m_objKernel->Advise(this); });
    InitStatement([&] { m_objDocumentContext = m_objKernel->DocumentContext(); });
    InitStatement([&] { m_objParameterManager = m_objKernel->ParameterManager(); });
}

IDtm& ViewBase::Dtm() const {
    if (!m_objDtm) {
        throw ComError(kErrInvalidArg, QStringLiteral("The view holds no DTM"));
    }
    return *m_objDtm;
}

IDtmKernel& ViewBase::Kernel() const {
    if (!m_objKernel) {
        throw ComError(kErrInvalidArg, QStringLiteral("The view holds no DTM kernel"));
    }
    return *m_objKernel;
}

IParameterManager& ViewBase::ParameterManager() const {
    if (!m_objParameterManager) {
        throw ComError(kErrInvalidArg, QStringLiteral("The view holds no parameter manager"));
    }
    return *m_objParameterManager;
}

void ViewBase::DropDtmReferences() {
    if (m_objKernel) {
        m_objKernel->Unadvise(this);
    }
    m_objKernel = nullptr;
    m_objDtm = nullptr;
    m_objDocumentContext = nullptr;
    m_objParameterManager = nullptr;
}

std::unique_ptr<IResourceManager> ViewBase::NewConfiguredResourceManager() {
    auto manager = Components().CreateResourceManager();
    CopyResourceConfiguration(*Kernel().ResourceManager(), *manager);
    return manager;
}

void ViewBase::CreateConfiguredResourceManager(std::unique_ptr<IResourceManager>& manager) {
    InitStatement([&] { manager = Components().CreateResourceManager(); });
    if (manager) {
        InitStatement([&] { CopyResourceConfiguration(*Kernel().ResourceManager(), *manager); });
    }
}

void ViewBase::CreateResourceManagers() {
    CreateConfiguredResourceManager(m_objResourceManager);
    CreateConfiguredResourceManager(m_objDeviceResourceManager);
}

QString ViewBase::CommonText(std::int32_t id) {
    if (!m_objResourceManager) {
        throw ComError(kErrInvalidArg, QStringLiteral("No resource manager"));
    }
    return m_objResourceManager->GetString(id, sCommonResourcePath);
}

QString ViewBase::DeviceText(std::int32_t id) {
    if (!m_objDeviceResourceManager) {
        throw ComError(kErrInvalidArg, QStringLiteral("No device resource manager"));
    }
    return m_objDeviceResourceManager->GetString(id, sDeviceResourcePath);
}

bool ViewBase::TryLoadPicture(QLabel* target, std::int32_t id, int width, int height,
                              const QString& folder) {
    try {
        if (!m_objResourceManager) {
            throw ComError(kErrInvalidArg, QStringLiteral("No resource manager"));
        }
        target->setPixmap(m_objResourceManager->LoadPicture(id, width, height, folder));
        return true;
    } catch (const ComError& e) {
        m_pendingPictureError = e;
    }
    return false;
}

bool ViewBase::LogEnabled() {
    return DebugToFile() || DebugToDebugger();
}

void ViewBase::Log(const QString& suffix, const QString& message) const {
    // With both sinks off (the usual case in the field) not even the place
    // is put together.
    if (LogEnabled()) {
        WriteLog(m_traits.typeName + suffix, message);
    }
}

ModuleObject ViewBase::ReadModule() {
    const QString document =
        ParameterManager().GetDocumentPart(QStringLiteral("FDT"), Dtm().ProtocolId());
    auto reader = Components().CreateModuleReader();
    if (!reader->Parse(document, m_objDocumentContext)) {
        throw ComError(kErrInvalidArg, reader->LastError());
    }
    return reader->Module();
}

ChannelObject ViewBase::ReadChannel(int index) {
    IFdtChannel* item = Dtm().Channel(index);
    if (item == nullptr) {
        throw ComError(kErrInvalidArg, QStringLiteral("channel item %1 is missing").arg(index));
    }
    const QString document = item->GetDocumentPart(QStringLiteral("FDT"), Dtm().ProtocolId());
    auto reader = Components().CreateChannelReader();
    if (!reader->Parse(document, m_objDocumentContext)) {
        throw ComError(kErrInvalidArg, reader->LastError());
    }
    return reader->Channel();
}

bool ViewBase::event(QEvent* event) {
    if (event->type() == QEvent::Polish) {
        PlainLabels(this);
        PutButtonBarLastInTabOrder();
    }
    return QWidget::event(event);
}

void ViewBase::PutButtonBarLastInTabOrder() {
    if (!ctlButtons) {
        return;
    }
    // The bar is made before the view's own controls and so comes first in
    // the focus chain; it lies at the lower edge and is to be reached last.
    // Taking it out of the view and putting it back moves it with its
    // buttons to the end of the chain (setTabOrder cannot move a widget
    // behind the last one of a window).
    QWidget* bar = ctlButtons->widget();
    // Moving it walks the focus chain of the whole window, which in a frame
    // holds every other view: done only where it is not at the end already.
    bool seenBar = false;
    bool ownAfterBar = false;
    for (QWidget* w = nextInFocusChain(); w != this && isAncestorOf(w); w = w->nextInFocusChain()) {
        const bool barWidget = w == bar || bar->isAncestorOf(w);
        ownAfterBar |= seenBar && !barWidget;
        seenBar |= barWidget;
    }
    if (seenBar && !ownAfterBar) {
        return;
    }
    const QRect geometry = bar->geometry();
    bar->setParent(nullptr);
    bar->setParent(this);
    bar->setGeometry(geometry);
}

void ViewBase::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    int contentHeight = height();
    if (ctlButtons) {
        QWidget* bar = ctlButtons->widget();
        const int barHeight = bar->height() > 0 ? bar->height() : bar->sizeHint().height();
        bar->setGeometry(0, height() - barHeight, width(), barHeight);
        contentHeight = bar->geometry().top();
    }
    if (m_contentAboveBar) {
        m_contentAboveBar->setGeometry(0, 0, width(), contentHeight);
    }
}

QSize ViewBase::sizeHint() const {
    if (!m_contentAboveBar) {
        return QWidget::sizeHint();
    }
    QSize hint = m_contentAboveBar->sizeHint();
    if (ctlButtons) {
        hint.rheight() += ctlButtons->widget()->sizeHint().height();
    }
    return hint;
}

} // namespace rq16
