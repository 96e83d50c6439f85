#pragma once
// The Identification view: shows the module's production data (QS data) and
// its I&M records, lets the user edit tag function, tag location and
// installation date, and writes them to the module before it closes. A free
// comment is kept in the data set only and follows the data set lock.

#include "IMRecords.h"
#include "TransactionSequence.h"

#include "frame/OnlineView.h"

#include <QRect>

#include <functional>
#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTimer;

namespace rq16 {

/// Where the device picture goes, in twips: scaled to the band's height and
/// centred in the band that starts at 6000.
QRect DevicePictureRect(int pictureWidth, int pictureHeight);

class Identification : public OnlineView {
    Q_OBJECT
public:
    static constexpr std::int32_t kHelpContextId = 25500;
    /// ProtocolId for which the view shows picture 602 (else 610).
    static const QString kPictureProtocolId;

    explicit Identification(QWidget* parent = nullptr);
    ~Identification() override;

    // ---- public deferred operations ----
    /// Starts the read sequence with the QS data.
    Q_INVOKABLE void CallReadQsData(const QVariant& vArguments = {});
    /// Starts the write sequence with the I&M1 select request.
    Q_INVOKABLE void CallWriteIMData(const QVariant& vArguments = {});

    // ---- public operations ----
    /// Enables or disables the I&M frame and its labels.
    void SetIMDataFields(bool status);
    /// The request document for a read of `index`; empty if none was made.
    QString GetReadRequestDocument(const QString& sCommunicationReference, std::uint8_t index);
    /// The request document for a write of `abData` to `index`; empty if none
    /// was made.
    QString GetWriteRequestDocument(const QString& sCommunicationReference, std::int16_t index,
                                    const ByteArray& abData);

    bool IDtmActiveXControl_PrepareToRelease() override;
    void ctlButtons_Close() override;
    void ctlButtons_ExtraCommand() override;
    void IBaseCommunicationCallback_OnTransactionResponse(const QString& invokeId,
                                                          const QString& response) override;

    // ---- state, for the frame and for tests ----
    const identification::TransactionSequence& sequence() const { return m_sequence; }
    QLineEdit* textBox(const QString& name) const;
    QPlainTextEdit* commentBox() const { return txtComment; }
    QGroupBox* imDataFrame() const { return IMDataFrame; }
    QLabel* devicePicture() const { return imgDevice; }
    /// Id of the device picture shown; 0 before Init.
    std::int32_t devicePictureId() const { return m_pictureId; }
    /// The wait between the I&M1 record and the I&M2 select (1000 ms).
    void SetWritePauseMs(int milliseconds) { m_writePauseMs = milliseconds; }

    QSize sizeHint() const override;

protected:
    void LoadCaptions() override;
    void LoadPictures() override;
    void AfterInit() override;
    std::int32_t ExtraButtonTextId() const override { return 6103; }
    QString ReadOperation() const override { return QStringLiteral("CallReadQsData"); }
    void ConnectAnswerNegative(const QString& errorText) override;
    void OnConnectRefused() override;
    void OnDisconnected() override;
    void OnConnectionLost() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildControls();
    int KernelState() const;
    /// Common text, empty if it cannot be read.
    QString TextOrEmpty(std::int32_t id) { return CommonTextOrEmpty(id); }

    // ---- the sequence ----
    /// The document of the request that `makeRequest` builds for the slot;
    /// empty if none was made.
    QString SerializeRequest(const QString& place,
                             const std::function<CommunicationRequest(std::int32_t)>& makeRequest);
    void Send(identification::Request request);
    void ApplyStep(const identification::Step& step, const QString& response);
    void SendAfterPause(identification::Request request);
    /// Reports a failure; when `saveFailed`, the message says the edited I&M
    /// data were not written.
    void ReportFailure(QString text, bool saveFailed, const QString& place);
    void FinishWrite();
    /// Asks the user the common text `textId`; true for Yes.
    bool AskYes(std::int32_t textId);
    /// RequestDataSetSave; a failure is reported. True when saved.
    bool SaveDataSet();

    // ---- showing and storing ----
    void ParseQsData(const ByteArray& bytes);
    void ParseIM0Data();
    void ShowQsData(const IQsData& qs);
    void ShowIMTexts(const IIMData& im);
    void ShowNoImData();
    void FitLastUpdate();
    void StoreQsData(const ByteArray& bytes);
    void StoreIMData(const ByteArray& im0, const ByteArray& im1, const ByteArray& im2);
    void StoreAfterWrite();
    /// The contents of a new property bag holding `object` under `key`.
    ByteArray BagContents(const QString& key, const IPersistable& object);
    /// Stores `object` under `key` in the data set when its contents differ
    /// from what `stored` returns; true when it was (or should have been) stored.
    bool StoreIfDiffers(const QString& key, const IPersistable& object,
                        ByteArray (IParameterManager::*stored)(),
                        void (IParameterManager::*store)(const ByteArray&));
    /// Reads `object` back from stored contents; false when none are stored.
    bool ReadStored(const ByteArray& contents, const QString& key, IPersistable& object);
    void LockControls() override;
    void UnlockControls() override;

    identification::TransactionSequence m_sequence;
    std::unique_ptr<IIMData> m_objIMData;
    bool m_bIMStoreChanged = false;
    bool m_bQsStoreChanged = false;
    /// A save of edited I&M texts has failed since the view opened.
    bool m_bSaveFailed = false;
    std::int32_t m_pictureId = 0;
    int m_writePauseMs = 1000;
    QTimer* timWritePause = nullptr;
    identification::Request m_requestAfterPause = identification::Request::None;
    QString m_pauseInvokeId;

    QGroupBox* fraDevice = nullptr;
    QLabel* lblManufacturer = nullptr;
    QLineEdit* txtManufacturer = nullptr;
    QLabel* lblOrderNumber = nullptr;
    QLineEdit* txtOrderNumber = nullptr;
    QLabel* lblChargeCode = nullptr;
    QLineEdit* txtChargeNumber = nullptr;
    QLabel* Label11 = nullptr;
    QLineEdit* txtSerialNumber = nullptr;
    QGroupBox* fraDescriptions = nullptr;
    QLabel* lblDescription = nullptr;
    QLineEdit* txtDescription = nullptr;
    QLabel* lblChannels = nullptr;
    QLineEdit* txtChannels = nullptr;
    QLabel* lblRanges = nullptr;
    QLineEdit* txtRanges = nullptr;
    QGroupBox* RevisionFrame = nullptr;
    QLabel* lblHardwareSoftware = nullptr;
    QLineEdit* txtHardwareRevision = nullptr;
    QLabel* Label13 = nullptr;
    QLineEdit* txtSoftwareRevision = nullptr;
    QGroupBox* IMDataFrame = nullptr;
    QLabel* lblTagFunction = nullptr;
    QLineEdit* txtTagFunction = nullptr;
    QLabel* lblTagLocation = nullptr;
    QLineEdit* txtTagLocation = nullptr;
    QLabel* lblInstallationDate = nullptr;
    QLineEdit* txtInstallationDate = nullptr;
    QPlainTextEdit* txtComment = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLabel* lblModuleType = nullptr;
    QLabel* imgDevice = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtLastUpdate = nullptr;
};

} // namespace rq16
