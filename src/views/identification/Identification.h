#pragma once
// The Identification view: shows the module's production data (QS data) and
// its I&M records, lets the user edit tag function, tag location and
// installation date, and writes them to the module before it closes. A free
// comment is kept in the data set only and follows the data set lock.

#include "CommentBoxText.h"
#include "IMRecords.h"
#include "IdentificationStore.h"

#include "frame/OnlineView.h"

#include <QRect>

#include <functional>
#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

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

    // ---- state, for the frame and for tests ----
    QLineEdit* textBox(const QString& name) const;
    QPlainTextEdit* commentBox() const { return txtComment; }
    /// The comment as the box holds it, without the breaks it shows only.
    QString Comment() const;
    QGroupBox* imDataFrame() const { return IMDataFrame; }
    QLabel* devicePicture() const { return imgDevice; }
    /// Id of the device picture shown; 0 before Init.
    std::int32_t devicePictureId() const { return m_pictureId; }

    QSize sizeHint() const override;

protected:
    void LoadCaptions() override;
    void LoadPictures() override;
    void AfterInit() override;
    /// The records read, the I&M texts, the data set.
    void CarryViewStep(const Step& step) override;
    /// The I&M select, read and record write documents.
    QString ViewRequestDocument(const Step& step) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildControls();
    /// Common text, empty if it cannot be read.
    QString TextOrEmpty(std::int32_t id) { return CommonTextOrEmpty(id); }

    // ---- the sequence ----
    /// The document of the request that `makeRequest` builds for the slot;
    /// empty if none was made.
    QString SerializeRequest(const QString& place,
                             const std::function<CommunicationRequest(std::int32_t)>& makeRequest);
    /// Where the data of a read request are kept.
    ByteArray& KeptRecord(ConnectionProtocol::Request request);
    /// RequestDataSetSave; a failure is reported. True when saved.
    bool SaveDataSet();

    // ---- showing and storing ----
    void ParseQsData(const ByteArray& bytes);
    void ParseIM0Data();
    void ShowQsData(const IQsData& qs);
    void ShowIMTexts(const IIMData& im);
    void ShowNoImData();
    /// m_objIMData, made when there is none yet.
    IIMData& ObjIMData();
    /// Runs `load`; an error it raises is reported with `place`. True when
    /// nothing was raised.
    template <typename F> bool Loaded(F&& load, const QString& place);
    void LockControls() override;
    void UnlockControls() override;

    /// Data bytes of the last QS read answer and of the last I&M0, I&M1 and
    /// I&M2 read answers that carried data; kept across sequences.
    ByteArray m_abQsData;
    ByteArray m_abIM0;
    ByteArray m_abIM1;
    ByteArray m_abIM2;
    std::unique_ptr<IIMData> m_objIMData;
    IdentificationStore m_store;
    /// The comment as the data set held it, and how the box shows it.
    QString m_commentShown;
    identification::CommentBoxForm m_commentForm;
    bool m_commentEdited = false;
    std::int32_t m_pictureId = 0;

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

template <typename F> bool Identification::Loaded(F&& load, const QString& place) {
    try {
        load();
        return true;
    } catch (const ComError& e) {
        ReportError(e.number(), e.description(), place);
    }
    return false;
}

} // namespace rq16
