#pragma once
// The kernel of the DTM stand-in and the small objects it hands out.

#include "FrameHost.h"
#include "ParameterManager.h"

#include "standins/resources/ResourceManager.h"

#include "host/Components.h"
#include "host/Dtm.h"

#include <optional>

namespace rq16::standins {

class RQ16Dtm;

class DocumentContext : public IDocumentContext {};
class ConnectionTarget : public IConnectionTarget {};

class DtmInformation : public IDtmInformation {
public:
    explicit DtmInformation(DtmInfoObject information) : m_information(std::move(information)) {}
    QString InfoDocument() override;
    const DtmInfoObject& information() const { return m_information; }
    void SetInformation(const DtmInfoObject& information) { m_information = information; }
    /// Hands out `document` instead of the one built from the information
    /// (nothing: the built one again), e.g. one that no reader accepts.
    void SetDocument(std::optional<QString> document) { m_document = std::move(document); }
    /// While set, InfoDocument fails with a ComError.
    void SetFailing(bool failing) { m_failing = failing; }

private:
    DtmInfoObject m_information;
    std::optional<QString> m_document;
    bool m_failing = false;
};

/// Asks the user with a modal message box, or answers by itself when an
/// automatic answer is set (tests, headless runs). Without an automatic
/// answer on the offscreen platform it answers No rather than block.
class UserDialog : public IUserDialog {
public:
    struct Question {
        QString text;
        QString caption;
        int style = 0;
    };

    int AskUser(const QString& text, const QString& caption, int style) override;

    /// kIdYes, kIdNo, or nothing to ask the user.
    void SetAutomaticAnswer(std::optional<int> answer) { m_answer = answer; }
    const std::vector<Question>& questions() const { return m_questions; }

private:
    std::optional<int> m_answer;
    std::vector<Question> m_questions;
};

/// Forwards the views' requests to the DTM, which tells the host.
class UiManager : public IUiManager {
public:
    explicit UiManager(RQ16Dtm& dtm) : m_dtm(dtm) {}
    void InitFinished(const QString& invokeId) override;
    void RequestClose(const QString& invokeId) override;
    void PreparedToRelease(const QString& invokeId) override;
    /// True unless another user holds the data set lock.
    bool IsEditAllowed() override;
    /// Writes the data set file and tells the host; throws ComError (and the
    /// data set goes back to the file's contents) when it cannot be written.
    bool RequestDataSetSave() override;
    /// Tells the host; the lock itself changes only through the host.
    bool RequestDataSetUnlock() override;

private:
    RQ16Dtm& m_dtm;
};

class DtmKernel : public IDtmKernel {
public:
    DtmKernel(RQ16Dtm& dtm, const QString& commonFolder, const QString& dataSetFile,
              const QString& protocolId, const DtmInfoObject& information);
    ~DtmKernel() override;

    IResourceManager* ResourceManager() override { return &m_resources; }
    IDocumentContext* DocumentContext() override { return &m_documentContext; }
    IConnectionTarget* ConnectionTarget() override { return &m_connectionTarget; }
    IParameterManager* ParameterManager() override { return &m_parameters; }
    IUiManager* UiManager() override { return &m_uiManager; }
    IUserDialog* UserDialog() override { return &m_userDialog; }
    IDtmInformation* DtmInformation() override { return &m_information; }
    bool HoldsDataSetLock() override { return m_lockHolder == LockHolder::ThisDtm; }
    int state() override { return m_state; }
    void OnErrorMessage(const QString& systemTag, const QString& message) override;
    void Advise(IBaseDtmEvents* sink) override;
    void Unadvise(IBaseDtmEvents* sink) override;

    // ---- for the DTM and the host ----
    standins::ResourceManager& resources() { return m_resources; }
    standins::ParameterManager& parameters() { return m_parameters; }
    standins::UserDialog& userDialog() { return m_userDialog; }
    standins::DtmInformation& information() { return m_information; }
    void SetState(int state) { m_state = state; }
    LockHolder lockHolder() const { return m_lockHolder; }
    const QString& lockUser() const { return m_lockUser; }
    /// Changes the lock and raises LockDataSet (ThisDtm, OtherUser) or
    /// UnlockDataSet (Released) with the user name.
    void SetDataSetLock(LockHolder holder, const QString& userName);
    void RaiseParameterChanged();
    std::size_t sinkCount() const { return m_sinks.size(); }

private:
    template <typename F> void ForEachSink(F&& call);

    RQ16Dtm& m_dtm;
    standins::ResourceManager m_resources;
    standins::DocumentContext m_documentContext;
    standins::ConnectionTarget m_connectionTarget;
    standins::ParameterManager m_parameters;
    standins::UiManager m_uiManager;
    standins::UserDialog m_userDialog;
    standins::DtmInformation m_information;
    int m_state = 4;
    LockHolder m_lockHolder = LockHolder::ThisDtm;
    QString m_lockUser;
    std::vector<IBaseDtmEvents*> m_sinks;
};

} // namespace rq16::standins
