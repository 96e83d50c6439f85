#include "RQ16Dtm.h"

#include "standins/documents/FdtDocuments.h"

#include <QStandardPaths>
#include <QTimer>

namespace rq16::standins {

const QString RQ16Dtm::kProtocolId = QStringLiteral("BA7B5AC1-4570-452a-829B-D12E15A793BA");

QString FdtChannel::GetDocumentPart(const QString& parameterPath, const QString& protocolId) {
    if (parameterPath != QStringLiteral("FDT") ||
        protocolId.compare(m_protocolId, Qt::CaseInsensitive) != 0) {
        throw ComError(kErrInvalidArg, QStringLiteral("No document part '%1' for protocol '%2'")
                                           .arg(parameterPath, protocolId));
    }
    const QStringList& tags = m_parameters.data().channelTags;
    const QString tag = m_number - 1 < tags.size() ? tags.at(m_number - 1) : QString();
    return documents::ChannelDocument(ChannelObject{m_number, tag});
}

QString RQ16Dtm::DefaultDataSetFile() {
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
           QStringLiteral("/RQ16DataSet.json");
}

RQ16Dtm::RQ16Dtm() : RQ16Dtm(Options()) {}

RQ16Dtm::RQ16Dtm(const Options& options) : m_protocolId(options.protocolId) {
    const QString commonFolder = options.commonFolder.isEmpty()
                                     ? ResourceManager::ApplicationCommonFolder()
                                     : options.commonFolder;
    m_kernel = std::make_unique<standins::DtmKernel>(*this, commonFolder, options.dataSetFile,
                                                     options.protocolId, options.information);
    m_kernel->SetState(options.state);
    const QString user = options.userName.isEmpty()
                             ? qEnvironmentVariable("USER", QStringLiteral("user"))
                             : options.userName;
    // This DTM starts as the holder of the lock, without raising an event.
    m_kernel->SetDataSetLock(LockHolder::ThisDtm, user);
    m_kernel->parameters().SetWrittenCallback([this](const QString& path) {
        if (m_host != nullptr) {
            m_host->OnDataSetWritten(path);
        }
    });
    for (int number = 1; number <= kChannelCount; ++number) {
        m_channels.push_back(
            std::make_unique<FdtChannel>(m_kernel->parameters(), m_protocolId, number));
    }
}

RQ16Dtm::~RQ16Dtm() {
    // Views hold references into the kernel: they go first.
    auto views = std::move(m_views);
    for (auto& [id, view] : views) {
        delete view.widget.data();
    }
}

IFdtChannel* RQ16Dtm::Channel(int index) {
    if (index < 1 || index > kChannelCount) {
        return nullptr;
    }
    return m_channels[static_cast<std::size_t>(index - 1)].get();
}

QString RQ16Dtm::NewInvokeId() {
    return QStringLiteral("DTM-%1").arg(++m_invokeCounter);
}

QWidget* RQ16Dtm::OpenFunction(const QString& progId, QWidget* parent, QString* invokeId) {
    if (!m_creator) {
        return nullptr;
    }
    QWidget* widget = m_creator(progId, parent);
    if (widget == nullptr) {
        return nullptr;
    }
    auto* control = dynamic_cast<IDtmActiveXControl*>(widget);
    if (control == nullptr) {
        delete widget;
        return nullptr;
    }
    const QString id = NewInvokeId();
    m_views[id] = OpenView{progId, widget, control, ViewState::Open};
    const QString functionCall =
        QStringLiteral("<FunctionCall progId=\"%1\"/>").arg(progId.toHtmlEscaped());
    if (!control->IDtmActiveXControl_Init(id, functionCall, this)) {
        m_views.erase(id);
        delete widget;
        return nullptr;
    }
    if (invokeId != nullptr) {
        *invokeId = id;
    }
    return widget;
}

bool RQ16Dtm::ReleaseView(const QString& invokeId) {
    auto it = m_views.find(invokeId);
    if (it == m_views.end() || it->second.widget.isNull()) {
        return false;
    }
    if (it->second.state == ViewState::Prepared) {
        return true; // already released; only the deletion is pending
    }
    it->second.state = ViewState::Releasing;
    IDtmActiveXControl* control = it->second.control;
    // The view may send PreparedToRelease inside this call; it is destroyed
    // later, from the event loop.
    return control->IDtmActiveXControl_PrepareToRelease();
}

void RQ16Dtm::ReleaseAllViews() {
    for (const QString& id : OpenViews()) {
        ReleaseView(id);
    }
}

void RQ16Dtm::DestroyView(const QString& invokeId) {
    auto it = m_views.find(invokeId);
    if (it == m_views.end()) {
        return;
    }
    QPointer<QWidget> widget = it->second.widget;
    m_views.erase(it);
    if (widget) {
        widget->deleteLater();
    }
    if (m_host != nullptr) {
        m_host->OnViewDestroyed(invokeId);
    }
}

QWidget* RQ16Dtm::View(const QString& invokeId) const {
    auto it = m_views.find(invokeId);
    return it == m_views.end() ? nullptr : it->second.widget.data();
}

std::optional<RQ16Dtm::ViewState> RQ16Dtm::StateOf(const QString& invokeId) const {
    auto it = m_views.find(invokeId);
    if (it == m_views.end()) {
        return std::nullopt;
    }
    return it->second.state;
}

QStringList RQ16Dtm::OpenViews() const {
    QStringList ids;
    for (const auto& [id, view] : m_views) {
        ids << id;
    }
    return ids;
}

void RQ16Dtm::ReloadDataSet() {
    m_kernel->parameters().Reload();
    m_kernel->parameters().RaiseParameterChanged();
    m_kernel->RaiseParameterChanged();
}

void RQ16Dtm::ChangeDataSet(const DataSet& data) {
    m_kernel->parameters().Replace(data);
    m_kernel->parameters().RaiseParameterChanged();
    m_kernel->RaiseParameterChanged();
}

void RQ16Dtm::SetDataSetLock(LockHolder holder, const QString& userName) {
    m_kernel->SetDataSetLock(holder, userName);
}

void RQ16Dtm::HandleInitFinished(const QString& invokeId) {
    if (m_host != nullptr) {
        m_host->OnInitFinished(invokeId);
    }
}

void RQ16Dtm::HandleRequestClose(const QString& invokeId) {
    if (m_host != nullptr) {
        m_host->OnRequestClose(invokeId);
    }
    if (m_automaticRelease && m_views.count(invokeId) != 0) {
        // Never inside the view's own call.
        QTimer::singleShot(0, this, [this, invokeId] { ReleaseView(invokeId); });
    }
}

void RQ16Dtm::HandlePreparedToRelease(const QString& invokeId) {
    auto it = m_views.find(invokeId);
    if (it != m_views.end()) {
        it->second.state = ViewState::Prepared;
    }
    if (m_host != nullptr) {
        m_host->OnPreparedToRelease(invokeId);
    }
    if (m_automaticRelease && it != m_views.end()) {
        QTimer::singleShot(0, this, [this, invokeId] { DestroyView(invokeId); });
    }
}

void RQ16Dtm::HandleErrorMessage(const QString& systemTag, const QString& message) {
    if (m_host != nullptr) {
        m_host->OnErrorMessage(systemTag, message);
    }
}

} // namespace rq16::standins
