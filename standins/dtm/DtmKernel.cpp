#include "DtmKernel.h"

#include "RQ16Dtm.h"

#include "standins/CallRecorder.h"
#include "standins/documents/FdtDocuments.h"

#include <QGuiApplication>
#include <QMessageBox>

#include <algorithm>

namespace rq16::standins {

QString DtmInformation::InfoDocument() {
    if (m_failing) {
        throw ComError(kErrInvalidArg, QStringLiteral("The DTM information is not available"));
    }
    return m_document.value_or(documents::InfoDocument(m_information));
}

int UserDialog::AskUser(const QString& text, const QString& caption, int style) {
    RecordCall(QStringLiteral("UserDialog.AskUser(%1,%2,%3)").arg(text, caption).arg(style));
    m_questions.push_back({text, caption, style});
    if (m_answer) {
        return *m_answer;
    }
    if (QGuiApplication::platformName() == QStringLiteral("offscreen")) {
        return kIdNo;
    }
    if (style == kMbYesNo) {
        const auto answer =
            QMessageBox::question(nullptr, caption, text, QMessageBox::Yes | QMessageBox::No);
        return answer == QMessageBox::Yes ? kIdYes : kIdNo;
    }
    QMessageBox::information(nullptr, caption, text);
    return 1; // OK
}

void UiManager::InitFinished(const QString& invokeId) {
    RecordCall(QStringLiteral("UiManager.InitFinished(%1)").arg(invokeId));
    m_dtm.HandleInitFinished(invokeId);
}

void UiManager::RequestClose(const QString& invokeId) {
    RecordCall(QStringLiteral("UiManager.RequestClose(%1)").arg(invokeId));
    m_dtm.HandleRequestClose(invokeId);
}

void UiManager::PreparedToRelease(const QString& invokeId) {
    RecordCall(QStringLiteral("UiManager.PreparedToRelease(%1)").arg(invokeId));
    m_dtm.HandlePreparedToRelease(invokeId);
}

bool UiManager::IsEditAllowed() {
    RecordCall(QStringLiteral("UiManager.IsEditAllowed"));
    return m_dtm.kernel().lockHolder() != LockHolder::OtherUser;
}

bool UiManager::RequestDataSetSave() {
    RecordCall(QStringLiteral("UiManager.RequestDataSetSave"));
    m_dtm.kernel().parameters().Save();
    if (IFrameHost* host = m_dtm.host()) {
        host->OnDataSetSaveRequested();
    }
    return true;
}

bool UiManager::RequestDataSetUnlock() {
    RecordCall(QStringLiteral("UiManager.RequestDataSetUnlock"));
    if (IFrameHost* host = m_dtm.host()) {
        host->OnDataSetUnlockRequested();
    }
    return true;
}

DtmKernel::DtmKernel(RQ16Dtm& dtm, const QString& commonFolder, const QString& dataSetFile,
                     const QString& protocolId, const DtmInfoObject& information)
    : m_dtm(dtm), m_resources(commonFolder), m_parameters(dataSetFile, protocolId),
      m_uiManager(dtm), m_information(information) {}

DtmKernel::~DtmKernel() = default;

void DtmKernel::OnErrorMessage(const QString& systemTag, const QString& message) {
    RecordCall(QStringLiteral("Kernel.OnErrorMessage(%1,%2)").arg(systemTag, message));
    m_dtm.HandleErrorMessage(systemTag, message);
}

void DtmKernel::Advise(IBaseDtmEvents* sink) {
    if (sink != nullptr && std::find(m_sinks.begin(), m_sinks.end(), sink) == m_sinks.end()) {
        m_sinks.push_back(sink);
    }
}

void DtmKernel::Unadvise(IBaseDtmEvents* sink) {
    m_sinks.erase(std::remove(m_sinks.begin(), m_sinks.end(), sink), m_sinks.end());
}

template <typename F> void DtmKernel::ForEachSink(F&& call) {
    // A sink may unadvise itself (or others) while being called.
    const auto sinks = m_sinks;
    for (IBaseDtmEvents* sink : sinks) {
        if (std::find(m_sinks.begin(), m_sinks.end(), sink) != m_sinks.end()) {
            call(*sink);
        }
    }
}

void DtmKernel::SetDataSetLock(LockHolder holder, const QString& userName) {
    m_lockHolder = holder;
    m_lockUser = holder == LockHolder::Released ? QString() : userName;
    if (holder == LockHolder::Released) {
        ForEachSink([&](IBaseDtmEvents& sink) { sink.BaseDtm_UnlockDataSet(userName); });
    } else {
        ForEachSink([&](IBaseDtmEvents& sink) { sink.BaseDtm_LockDataSet(userName); });
    }
}

void DtmKernel::RaiseParameterChanged() {
    ForEachSink([](IBaseDtmEvents& sink) { sink.BaseDtm_ParameterChanged(); });
}

} // namespace rq16::standins
