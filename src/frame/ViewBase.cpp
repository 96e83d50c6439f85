#include "ViewBase.h"

#include "ComponentRegistry.h"

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
    Log(QString(), QStringLiteral("IDtmActiveXControl_Init"));
    const QString onError = InitErrorSuffix();

    Guarded(onError, [&] { TakeDtm(Dtm); });
    Guarded(onError, [&] { TakeCommunicationObjects(); });
    Guarded(onError, [&] { CreateResourceManagers(); });
    Guarded(onError, [&] { LoadCaptions(); });

    m_pendingPictureError.reset();
    Guarded(onError, [&] { LoadPictures(); });
    if (m_pendingPictureError && m_pendingPictureError->number() > 0) {
        Log(QStringLiteral(".IDtmActiveXControl_Init"),
            QStringLiteral("ERROR when loading Terminal Pictures: ") +
                QString::number(m_pendingPictureError->number()) + QStringLiteral(", ") +
                m_pendingPictureError->description());
    }
    m_pendingPictureError.reset();

    Guarded(onError, [&] { FillHeader(); });
    m_sInvokeId = invokeId;
    Guarded(onError, [&] { SetUpButtonBar(); });
    Guarded(onError, [&] { AfterInit(); });
    Guarded(onError, [&] { m_objKernel->UiManager()->InitFinished(m_sInvokeId); });
    return true;
}

void ViewBase::SetUpButtonBar() {
    if (!ctlButtons) {
        return;
    }
    ctlButtons->SetResourceManager(m_objResourceManager.get());
    ctlButtons->SetArea(width(), height());
    ctlButtons->SetStandardButtons(false, false, false, true);
    ctlButtons->DisableApply();
    if (const std::int32_t extra = ExtraButtonTextId(); extra != 0) {
        ctlButtons->SetExtraButton(CommonText(extra), QString(), 0);
    }
    ctlButtons->ShowActivity();
    ctlButtons->SetMessage(QString());
}

bool ViewBase::IDtmActiveXControl_PrepareToRelease() {
    if (lHelpResult != 0) {
        CloseAllHelp(this);
    }
    Log(QStringLiteral(".PrepareToRelease"), QStringLiteral("Offline"));
    if (m_objKernel) {
        m_objKernel->UiManager()->PreparedToRelease(m_sInvokeId);
    }
    DropDtmReferences();
    return true;
}

void ViewBase::ctlButtons_Close() {
    ctlButtons->DisableButtons();
    ctlButtons->ShowActivity();
    StopTimers();
    Log(QStringLiteral(".ctlButtons_Clos"));
    if (!IsOnline()) {
        Log(QStringLiteral("_Clos"), QStringLiteral("Closing control"));
        if (m_objKernel) {
            m_objKernel->UiManager()->RequestClose(m_sInvokeId);
        }
    } else {
        CloseWhileOnline();
    }
}

void ViewBase::ctlButtons_Help() {
    lHelpResult = ShowHelp(HelpFilePath(), m_traits.helpContextId, this);
}

void ViewBase::BaseDtm_LockDataSet(const QString& userName) {
    Q_UNUSED(userName);
}

void ViewBase::BaseDtm_UnlockDataSet(const QString& userName) {
    Q_UNUSED(userName);
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
    m_objKernel = dtm->DtmKernel();
    m_objKernel->Advise(this);
    m_objDocumentContext = m_objKernel->DocumentContext();
    m_objParameterManager = m_objKernel->ParameterManager();
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
    IResourceManager* kernelManager = m_objKernel->ResourceManager();
    CopyResourceConfiguration(*kernelManager, *manager);
    return manager;
}

void ViewBase::CreateResourceManagers() {
    m_objResourceManager = NewConfiguredResourceManager();
    m_objDeviceResourceManager = NewConfiguredResourceManager();
}

QString ViewBase::CommonText(std::int32_t id) {
    return m_objResourceManager->GetString(id, sCommonResourcePath);
}

QString ViewBase::DeviceText(std::int32_t id) {
    return m_objDeviceResourceManager->GetString(id, sDeviceResourcePath);
}

bool ViewBase::TryLoadPicture(QLabel* target, std::int32_t id, int width, int height,
                              const QString& folder) {
    try {
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
        m_objParameterManager->GetDocumentPart(QStringLiteral("FDT"), m_objDtm->ProtocolId());
    auto reader = Components().CreateModuleReader();
    if (!reader->Parse(document, m_objDocumentContext)) {
        throw ComError(kErrInvalidArg, reader->LastError());
    }
    return reader->Module();
}

ChannelObject ViewBase::ReadChannel(int index) {
    IFdtChannel* item = m_objDtm->Channel(index);
    if (item == nullptr) {
        throw ComError(kErrInvalidArg, QStringLiteral("channel item %1 is missing").arg(index));
    }
    const QString document = item->GetDocumentPart(QStringLiteral("FDT"), m_objDtm->ProtocolId());
    auto reader = Components().CreateChannelReader();
    if (!reader->Parse(document, m_objDocumentContext)) {
        throw ComError(kErrInvalidArg, reader->LastError());
    }
    return reader->Channel();
}

void ViewBase::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (ctlButtons) {
        QWidget* bar = ctlButtons->widget();
        const int barHeight = bar->height() > 0 ? bar->height() : bar->sizeHint().height();
        bar->setGeometry(0, height() - barHeight, width(), barHeight);
    }
}

} // namespace rq16
