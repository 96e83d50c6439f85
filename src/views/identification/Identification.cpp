#include "Identification.h"

#include "ComponentRegistry.h"
#include "SkipOnError.h"

#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QTimer>

#include <cmath>

namespace rq16 {

using identification::Request;
using identification::Step;

namespace {

// Common texts.
constexpr std::int32_t kTextConnectionLost = 1127;
constexpr std::int32_t kTextImNotWritten = 1138;
constexpr std::int32_t kTextNoImData = 9070;
constexpr std::int32_t kTextRequestRefused = 9071;
constexpr std::int32_t kTextDiscardEdits = 9072;
constexpr std::int32_t kTextRetrySave = 9073;
constexpr std::int32_t kTextCloseWithoutComment = 9074;
// Device texts.
constexpr std::int32_t kTextOrderNumber = 2001;
constexpr std::int32_t kTextDescription = 2002;
constexpr std::int32_t kTextChannels = 2003;
constexpr std::int32_t kTextRanges = 2004;
// Pictures of the common folder.
constexpr std::int32_t kPictureProfibus = 602;
constexpr std::int32_t kPictureOther = 610;

constexpr int kKernelStateOnline = 6;
const QString kNotRead = QStringLiteral("-/-");
const QString kCrLf = QStringLiteral("\r\n");
const QString kOnTransactionResponse = QStringLiteral(".OnTransactionResponse");

// The design is in twips; 15 twips make one pixel at 96 dpi.
constexpr int Px(int twips) {
    return (twips + 7) / 15;
}
QRect PxRect(int left, int top, int width, int height) {
    return {Px(left), Px(top), Px(width), Px(height)};
}
constexpr int kDesignWidth = 8850;
constexpr int kDesignHeight = 7695;
constexpr int kPictureBandLeft = 6000;
constexpr int kPictureBandTop = 690;
constexpr int kPictureBandWidth = 2745;
constexpr int kPictureHeight = 3915;
// Rows inside the frames: labels at 180 (2250 wide), text boxes from 2550.
constexpr int kLabelLeft = 180;
constexpr int kLabelWidth = 2250;
constexpr int kBoxLeft = 2550;
constexpr int kBoxWidth = 3135;
constexpr int kRowHeight = 315;
constexpr int kFirstRowTop = 300;
constexpr int kRowPitch = 390;
constexpr int kLastUpdateLeft = 7860;
constexpr int kLastUpdateWidth = 915;

/// Leading and trailing blanks removed (other white space stays).
QString TrimBlanks(const QString& text) {
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text.at(from) == u' ') {
        ++from;
    }
    while (to > from && text.at(to - 1) == u' ') {
        --to;
    }
    return text.mid(from, to - from);
}

/// Rounds to the nearest integer, halves to the even neighbour.
long long RoundHalfEven(double value) {
    return std::llround(std::nearbyint(value));
}

QLineEdit* NewBox(QWidget* parent, const QString& name, int row, bool readOnly) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(readOnly);
    if (readOnly) {
        box->setFocusPolicy(Qt::ClickFocus); // tabbing goes to what can be edited
    }
    box->setGeometry(PxRect(kBoxLeft, kFirstRowTop + row * kRowPitch, kBoxWidth, kRowHeight));
    return box;
}

QLabel* NewLabel(QWidget* parent, const QString& name, int row) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(PxRect(kLabelLeft, kFirstRowTop + row * kRowPitch, kLabelWidth, kRowHeight));
    return label;
}

/// The row of `left` split between it and `right`, with a separator label
/// between them ("-" between charge and serial number).
QLabel* SplitRow(QLineEdit* left, const QString& separator, QLineEdit* right) {
    constexpr int kSeparatorWidth = 240;
    const int half = (kBoxWidth - kSeparatorWidth) / 2;
    const QRect row = left->geometry();
    auto* label = new QLabel(separator, left->parentWidget());
    label->setAlignment(Qt::AlignCenter);
    left->setGeometry(row.x(), row.y(), Px(half), row.height());
    label->setGeometry(row.x() + Px(half), row.y(), Px(kSeparatorWidth), row.height());
    right->setGeometry(row.x() + Px(half + kSeparatorWidth), row.y(), Px(half), row.height());
    return label;
}

QGroupBox* NewFrame(QWidget* parent, const QString& name, const QRect& twips) {
    auto* frame = new QGroupBox(parent);
    frame->setObjectName(name);
    frame->setGeometry(PxRect(twips.x(), twips.y(), twips.width(), twips.height()));
    return frame;
}

} // namespace

const QString Identification::kPictureProtocolId =
    QStringLiteral("BA7B5AC1-4570-452a-829B-D12E15A793BA");

QRect DevicePictureRect(int pictureWidth, int pictureHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0) {
        return {kPictureBandLeft, kPictureBandTop, kPictureBandWidth, kPictureHeight};
    }
    const double width = static_cast<double>(pictureWidth) * kPictureHeight / pictureHeight;
    const long long spare = RoundHalfEven(kPictureBandWidth - width);
    const int left = kPictureBandLeft + static_cast<int>(spare / 2);
    return {left, kPictureBandTop, static_cast<int>(std::lround(width)), kPictureHeight};
}

Identification::Identification(QWidget* parent)
    : OnlineView(ViewTraits{QStringLiteral("Identification"), kHelpContextId, true,
                            /*followsDataSetLock=*/true},
                 parent) {
    BuildControls();
    for (QLineEdit* box : {txtChargeNumber, txtSerialNumber, txtSoftwareRevision,
                           txtHardwareRevision, txtLastUpdate}) {
        box->setText(kNotRead);
    }
    txtManufacturer->setText(QStringLiteral("ORLIN"));
    timWritePause = new QTimer(this);
    timWritePause->setSingleShot(true);
    connect(timWritePause, &QTimer::timeout, this, [this] {
        // The pause held the request slot; nothing else may have started.
        if (connection.sOnlineInvokeId != m_pauseInvokeId || !IsOnline()) {
            return;
        }
        connection.RequestDone();
        Send(m_requestAfterPause);
    });
}

Identification::~Identification() = default;

void Identification::BuildControls() {
    fraDevice = NewFrame(this, QStringLiteral("fraDevice"), {90, 60, 5805, 1545});
    lblManufacturer = NewLabel(fraDevice, QStringLiteral("lblManufacturer"), 0);
    txtManufacturer = NewBox(fraDevice, QStringLiteral("txtManufacturer"), 0, true);
    lblOrderNumber = NewLabel(fraDevice, QStringLiteral("lblOrderNumber"), 1);
    txtOrderNumber = NewBox(fraDevice, QStringLiteral("txtOrderNumber"), 1, true);
    lblChargeCode = NewLabel(fraDevice, QStringLiteral("lblChargeCode"), 2);
    txtChargeNumber = NewBox(fraDevice, QStringLiteral("txtChargeNumber"), 2, true);
    txtSerialNumber = NewBox(fraDevice, QStringLiteral("txtSerialNumber"), 2, true);
    Label11 = SplitRow(txtChargeNumber, QStringLiteral("-"), txtSerialNumber);

    fraDescriptions = NewFrame(this, QStringLiteral("fraDescriptions"), {90, 1620, 5805, 1515});
    lblDescription = NewLabel(fraDescriptions, QStringLiteral("lblDescription"), 0);
    txtDescription = NewBox(fraDescriptions, QStringLiteral("txtDescription"), 0, true);
    lblChannels = NewLabel(fraDescriptions, QStringLiteral("lblChannels"), 1);
    txtChannels = NewBox(fraDescriptions, QStringLiteral("txtChannels"), 1, true);
    lblRanges = NewLabel(fraDescriptions, QStringLiteral("lblRanges"), 2);
    txtRanges = NewBox(fraDescriptions, QStringLiteral("txtRanges"), 2, true);

    RevisionFrame = NewFrame(this, QStringLiteral("RevisionFrame"), {90, 3180, 5805, 735});
    RevisionFrame->setTitle(QStringLiteral("Revision Levels"));
    lblHardwareSoftware = NewLabel(RevisionFrame, QStringLiteral("lblHardwareSoftware"), 0);
    txtHardwareRevision = NewBox(RevisionFrame, QStringLiteral("txtHardwareRevision"), 0, true);
    txtSoftwareRevision = NewBox(RevisionFrame, QStringLiteral("txtSoftwareRevision"), 0, true);
    Label13 = SplitRow(txtHardwareRevision, QStringLiteral("/"), txtSoftwareRevision);

    IMDataFrame = NewFrame(this, QStringLiteral("IMDataFrame"), {90, 3900, 5805, 1515});
    lblTagFunction = NewLabel(IMDataFrame, QStringLiteral("lblTagFunction"), 0);
    txtTagFunction = NewBox(IMDataFrame, QStringLiteral("txtTagFunction"), 0, false);
    txtTagFunction->setMaxLength(32);
    lblTagLocation = NewLabel(IMDataFrame, QStringLiteral("lblTagLocation"), 1);
    txtTagLocation = NewBox(IMDataFrame, QStringLiteral("txtTagLocation"), 1, false);
    txtTagLocation->setMaxLength(22);
    lblInstallationDate = NewLabel(IMDataFrame, QStringLiteral("lblInstallationDate"), 2);
    txtInstallationDate = NewBox(IMDataFrame, QStringLiteral("txtInstallationDate"), 2, false);
    txtInstallationDate->setMaxLength(16);
    txtInstallationDate->setPlaceholderText(QStringLiteral("YYYY-MM-DD HH:MM"));
    for (QLineEdit* box : {txtTagFunction, txtTagLocation, txtInstallationDate}) {
        // Every change counts as an edit; the view's own fills reset the flag.
        connect(box, &QLineEdit::textChanged, this, [this] { m_sequence.m_bIMDataChanged = true; });
    }

    txtComment = new QPlainTextEdit(this);
    txtComment->setObjectName(QStringLiteral("txtComment"));
    txtComment->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtComment->setGeometry(PxRect(90, 5460, 8685, 1095));

    Frame1 = NewFrame(this, QStringLiteral("Frame1"), {6000, 60, 2745, 495});
    lblModuleType = new QLabel(Frame1);
    lblModuleType->setObjectName(QStringLiteral("lblModuleType"));
    lblModuleType->setTextFormat(Qt::PlainText);
    QFont bold = lblModuleType->font();
    bold.setBold(true);
    bold.setPointSize(12);
    lblModuleType->setFont(bold);
    lblModuleType->setAlignment(Qt::AlignCenter);
    lblModuleType->setGeometry(PxRect(60, 60, 2625, 375));

    imgDevice = new QLabel(this);
    imgDevice->setObjectName(QStringLiteral("imgDevice"));
    imgDevice->setScaledContents(true);
    const QRect band = DevicePictureRect(0, 0);
    imgDevice->setGeometry(PxRect(band.x(), band.y(), band.width(), band.height()));

    Label1 = new QLabel(QStringLiteral("Last update:"), this);
    Label1->setGeometry(PxRect(6060, 5040, 1740, kRowHeight));
    txtLastUpdate = new QLineEdit(this);
    txtLastUpdate->setObjectName(QStringLiteral("txtLastUpdate"));
    txtLastUpdate->setReadOnly(true);
    txtLastUpdate->setFocusPolicy(Qt::ClickFocus);
    txtLastUpdate->setGeometry(PxRect(kLastUpdateLeft, 4980, kLastUpdateWidth, kRowHeight));

    resize(sizeHint());
}

QSize Identification::sizeHint() const {
    const int barHeight = ctlButtons ? ctlButtons->widget()->sizeHint().height() : 0;
    return {Px(kDesignWidth), std::max(Px(kDesignHeight), Px(6600) + barHeight)};
}

QLineEdit* Identification::textBox(const QString& name) const {
    return findChild<QLineEdit*>(name);
}

int Identification::KernelState() const {
    return m_objKernel ? m_objKernel->state() : 0;
}

// ---- Init ----

void Identification::LoadCaptions() {
    ModuleObject module;
    InitStatement([&] { module = ReadModule(); });
    const std::pair<QWidget*, std::int32_t> commonCaptions[] = {
        {fraDevice, 7009},      {lblManufacturer, 7001}, {lblOrderNumber, 7003},
        {lblChargeCode, 7002},  {fraDescriptions, 7010}, {lblDescription, 7004},
        {lblChannels, 7005},    {lblRanges, 7006},       {IMDataFrame, 9066},
        {lblTagFunction, 9067}, {lblTagLocation, 9068},  {lblInstallationDate, 9069}};
    for (const auto& [control, id] : commonCaptions) {
        InitStatement([&, control = control, id = id] {
            const QString text = CommonText(id);
            if (auto* frame = qobject_cast<QGroupBox*>(control)) {
                // A frame title would take "&" as a shortcut marker.
                frame->setTitle(QString(text).replace(QLatin1Char('&'), QStringLiteral("&&")));
            } else {
                static_cast<QLabel*>(control)->setText(text);
            }
        });
    }
    const std::pair<QLineEdit*, std::int32_t> deviceTexts[] = {{txtOrderNumber, kTextOrderNumber},
                                                               {txtDescription, kTextDescription},
                                                               {txtChannels, kTextChannels},
                                                               {txtRanges, kTextRanges}};
    for (const auto& [box, id] : deviceTexts) {
        InitStatement([&, box = box, id = id] {
            box->setText(DeviceText(id));
            box->setToolTip(box->text()); // the whole text where the box cuts it
            box->setCursorPosition(0);
        });
    }
    InitStatement([&] {
        lblHardwareSoftware->setText(CommonText(7007) + QLatin1Char('/') + CommonText(7008) +
                                     QLatin1Char(':'));
    });
    lblModuleType->setText(module.typeName);
}

void Identification::LoadPictures() {
    m_pictureId = Dtm().ProtocolId() == kPictureProtocolId ? kPictureProfibus : kPictureOther;
    QPixmap picture;
    try {
        picture = m_objResourceManager->LoadPicture(m_pictureId, 0, 0, sCommonResourcePath);
    } catch (const ComError& e) {
        m_pendingPictureError = e;
        return;
    }
    imgDevice->setPixmap(picture);
    const QRect twips = DevicePictureRect(picture.width(), picture.height());
    imgDevice->setGeometry(PxRect(twips.x(), twips.y(), twips.width(), twips.height()));
}

void Identification::AfterInit() {
    InitStatement([&] {
        auto qs = Components().CreateQsData();
        if (ReadStored(ParameterManager().StoredQsData(), QStringLiteral("QsData"), *qs)) {
            ShowQsData(*qs);
        }
    });
    InitStatement([&] {
        auto im = Components().CreateIMData();
        if (ReadStored(ParameterManager().StoredIMData(), QStringLiteral("IMData"), *im)) {
            m_objIMData = std::move(im);
            ShowIMTexts(*m_objIMData);
        }
    });
    m_sequence.m_bIMDataChanged = false;
    InitStatement([&] { txtComment->setPlainText(ParameterManager().StoredComment()); });
    InitStatement([&] {
        if (!Kernel().UiManager()->IsEditAllowed()) {
            LockControls();
        }
    });
    InitStatement([&] { ctlButtons->SetMessage(QString()); });
    bool connecting = false;
    InitStatement([&] {
        if (Kernel().state() == kKernelStateOnline) {
            Queue(QStringLiteral("CallConnect"));
            connecting = true;
        }
    });
    if (!connecting) {
        // Offline until the extra command: the bar must not show activity.
        InitStatement([&] { ctlButtons->HideActivity(); });
    }
    SetIMDataFields(false);
}

void Identification::SetIMDataFields(bool status) {
    for (QWidget* control : std::initializer_list<QWidget*>{IMDataFrame, lblTagFunction,
                                                            lblTagLocation, lblInstallationDate}) {
        control->setEnabled(status);
    }
}

// ---- request documents ----

QString Identification::GetReadRequestDocument(const QString& sCommunicationReference,
                                               std::uint8_t index) {
    return SerializeRequest(QStringLiteral(".GetReadRequestDocument"), [&](std::int32_t slot) {
        return identification::ReadRequest(sCommunicationReference, slot,
                                           static_cast<std::int16_t>(index));
    });
}

QString Identification::GetWriteRequestDocument(const QString& sCommunicationReference,
                                                std::int16_t index, const ByteArray& abData) {
    return SerializeRequest(QStringLiteral(".GetWriteRequestDocument"), [&](std::int32_t slot) {
        return identification::WriteRequest(sCommunicationReference, slot, index, abData);
    });
}

QString Identification::SerializeRequest(
    const QString& place, const std::function<CommunicationRequest(std::int32_t)>& makeRequest) {
    // Any error gives the empty document; nothing is logged then.
    QString document;
    bool made = false;
    const bool ok = SkipOnError([&] {
        auto parser = Components().CreateResponseParser();
        made = parser->Serialize(document, makeRequest(ParameterManager().SlotNumber()));
        Log(place, QStringLiteral("sRequest: ") + document);
    });
    return ok && made ? document : QString();
}

// ---- the sequences ----

void Identification::ctlButtons_ExtraCommand() {
    // A read shows the module's I&M texts in place of the edited ones: the
    // user decides first (the connect answer runs this again while online,
    // and a save that is due never asks).
    if (m_sequence.m_bIMDataChanged && !IsOnline() &&
        m_sequence.transactionResponseState != identification::state::kSaveIM1Record) {
        if (!AskYes(kTextDiscardEdits)) {
            return;
        }
    }
    ctlButtons->DisableButtons();
    ctlButtons->ShowActivity();
    Log(ExtraCommandLogSuffix());
    Queue(m_sequence.ExtraCommandOperation(IsOnline()));
}

void Identification::CallReadQsData(const QVariant& vArguments) {
    Q_UNUSED(vArguments);
    if (Released()) {
        return;
    }
    Send(m_sequence.StartRead());
}

void Identification::CallWriteIMData(const QVariant& vArguments) {
    Q_UNUSED(vArguments);
    if (Released()) {
        return;
    }
    Send(m_sequence.StartWrite());
}

void Identification::Send(Request request) {
    using identification::CallHeader;
    using identification::kImIndex;
    const QString& reference = connection.communicationReference;
    bool accepted = false;
    Guarded(QStringLiteral(".Send, Error: "), [&] {
        QString document;
        switch (request) {
        case Request::None:
            return;
        case Request::ReadQsData:
            document = ParameterManager().GetReadQsDataRequest(reference);
            break;
        case Request::SelectIM0:
        case Request::SelectIM1:
        case Request::SelectIM2:
            document = GetWriteRequestDocument(
                reference, kImIndex,
                CallHeader(static_cast<int>(request) - static_cast<int>(Request::SelectIM0)));
            break;
        case Request::ReadRecord:
            document = GetReadRequestDocument(reference, static_cast<std::uint8_t>(kImIndex));
            break;
        case Request::WriteIM1Record:
            document = GetWriteRequestDocument(
                reference, kImIndex,
                identification::BuildIM1Record(m_objIMData ? m_objIMData->IM1Header() : QString(),
                                               txtTagFunction->text(), txtTagLocation->text()));
            break;
        case Request::WriteIM2Record:
            document = GetWriteRequestDocument(
                reference, kImIndex,
                identification::BuildIM2Record(
                    m_objIMData ? m_objIMData->IM2Header() : QString(), txtInstallationDate->text(),
                    m_objIMData ? m_objIMData->IM2Reserved() : QString()));
            break;
        }
        accepted = SendOnlineTransaction(document);
    });
    if (request != Request::None && !accepted) {
        ApplyStep(m_sequence.OnRefused(), QString());
    }
}

void Identification::SendAfterPause(Request request) {
    // The pause keeps the event loop running; its own invoke id holds the
    // request slot, so no other request (and no disconnect) starts meanwhile
    // and a lost connection cancels the rest.
    m_pauseInvokeId = NewInvokeId();
    connection.RequestSent(PendingRequest::Transaction, m_pauseInvokeId);
    m_requestAfterPause = request;
    timWritePause->start(m_writePauseMs);
}

void Identification::IBaseCommunicationCallback_OnTransactionResponse(const QString& invokeId,
                                                                      const QString& response) {
    if (Released()) {
        return;
    }
    Log(kOnTransactionResponse, QStringLiteral("sOnlineInvokeId: ") + connection.sOnlineInvokeId);
    Log(kOnTransactionResponse, QStringLiteral("Response: ") + response);
    if (!connection.IsAnswerTo(invokeId) || invokeId == m_pauseInvokeId) {
        Log(kOnTransactionResponse, QStringLiteral("Not my request, ignoring"));
        return;
    }
    connection.RequestDone();
    CallbackGuard(QStringLiteral("OnTransactionResponse"), [&] {
        bool parsed = false;
        const auto parser = ParseAnswer(response, parsed);
        if (!parsed) {
            ApplyStep(m_sequence.OnUnparsable(parser->LastError()), response);
            return;
        }
        const identification::Answer answer{parser->HasCommunicationError(), parser->ErrorText(),
                                            parser->HasData(), parser->Data()};
        if (!answer.negative) {
            Log(kOnTransactionResponse, QStringLiteral("transactionResponseState: ") +
                                            QString::number(m_sequence.transactionResponseState));
        }
        ApplyStep(m_sequence.OnAnswer(answer), response);
    });
}

void Identification::ApplyStep(const Step& step, const QString& response) {
    if (!step.stateLog.isEmpty()) {
        Log(kOnTransactionResponse, QStringLiteral("transactionResponseState: ") + step.stateLog);
    }
    if (!step.dataLog.isEmpty()) {
        Log(kOnTransactionResponse, step.dataLog + response);
    }
    ReportFailure(step.refused ? TextOrEmpty(kTextRequestRefused) : step.report, step.saveFailed,
                  QStringLiteral("OnTransactionResponse"));
    if (step.showNoImData) {
        ShowNoImData();
    }
    if (step.parseQsData) {
        ParseQsData(m_sequence.m_abQsData);
    }
    if (step.enableButtons) {
        ctlButtons->EnableButtons();
        ctlButtons->HideActivity();
    }
    if (step.writeFinished) {
        FinishWrite();
        return;
    }
    if (step.disconnect && IsOnline()) {
        Log(kOnTransactionResponse, QStringLiteral("Calling Disconnect"));
        Queue(QStringLiteral("CallDisconnect"));
    }
    if (step.send != Request::None) {
        if (step.pauseBeforeSend) {
            SendAfterPause(step.send);
        } else {
            Send(step.send);
        }
    }
}

void Identification::ReportFailure(QString text, bool saveFailed, const QString& place) {
    if (saveFailed) {
        m_bSaveFailed = true;
        const QString notWritten = TextOrEmpty(kTextImNotWritten);
        text = text.isEmpty() ? notWritten : text + kCrLf + notWritten;
    }
    if (!text.isEmpty()) {
        ReportError(0, text, place);
    }
}

void Identification::FinishWrite() {
    SkipOnError([&] { StoreAfterWrite(); });
    SaveDataSet();
    Log(kOnTransactionResponse,
        QStringLiteral(" Writing I&M data finished. Prepare closing of the control."));
    connection.RequestDone();
    ctlButtons_Close();
}

bool Identification::SaveDataSet() {
    // A data set that cannot be written raises an error naming the file and
    // the reason, and keeps what its file holds; the user is told here.
    try {
        return Kernel().UiManager()->RequestDataSetSave();
    } catch (const ComError& e) {
        ReportError(e.number(), e.description(), QStringLiteral("RequestDataSetSave"));
    } catch (const std::exception& e) {
        ReportError(0, QString::fromUtf8(e.what()), QStringLiteral("RequestDataSetSave"));
    }
    return false;
}

// ---- connection outcomes ----

void Identification::ConnectAnswerNegative(const QString& errorText) {
    Q_UNUSED(errorText);
    const bool dropped = m_sequence.OnNegativeConnect();
    QString text = TextOrEmpty(kTextConnectionLost);
    if (dropped) {
        text += kCrLf + TextOrEmpty(kTextImNotWritten);
    }
    ReportError(0, text, QStringLiteral("OnConnectResponse"));
    ctlButtons->EnableButtons();
    ctlButtons->HideActivity();
    if (dropped) {
        Guarded(QStringLiteral(".OnConnectResponse, Error: "),
                [&] { Kernel().UiManager()->RequestClose(m_sInvokeId); });
    }
    CompleteReleaseIfIdle();
}

void Identification::OnConnectRefused() {
    ctlButtons->HideActivity();
    if (m_sequence.OnConnectFailed()) {
        ReportFailure(TextOrEmpty(kTextRequestRefused), true, QStringLiteral("CallConnect"));
    }
}

void Identification::OnConnectionLost() {
    if (timWritePause->isActive()) {
        timWritePause->stop();
    }
    if (m_sequence.OnConnectFailed()) {
        ReportFailure(QString(), true, QStringLiteral("OnAbort"));
    }
}

void Identification::OnDisconnected() {
    if (!connection.blnPrepareToRelease && !connection.blnClosing) {
        m_sequence.OnDisconnected();
    }
}

// ---- close and release ----

void Identification::ctlButtons_Close() {
    const QString place = QStringLiteral(".ctlButtons_Clos");
    Log(place, QStringLiteral("Method entered"));
    // After a failed save the user may try again or give the edits up, so a
    // module that stays out of reach does not keep the view from closing.
    if (m_bSaveFailed && m_sequence.WouldStartSave(KernelState()) && !AskYes(kTextRetrySave)) {
        // The user closes without writing the edits.
        m_sequence.m_bIMDataChanged = false;
    }
    using identification::CloseDecision;
    const CloseDecision decision = m_sequence.OnClose(KernelState());
    switch (decision) {
    case CloseDecision::StartSave:
        Log(place, QStringLiteral("There ARE unsaved I&M data. Set state machine and CallConnect"));
        ctlButtons->DisableButtons();
        ctlButtons->ShowActivity();
        // Normally offline here; a connection still open is used directly.
        Queue(IsOnline() ? QStringLiteral("CallWriteIMData") : QStringLiteral("CallConnect"));
        return;
    case CloseDecision::Wait:
        return;
    case CloseDecision::CloseDroppingEdits:
    case CloseDecision::Close:
        break;
    }
    Log(place,
        QStringLiteral("There are NO unsaved I&M data. Go on with normal ctlButtons_Clos method"));
    if (decision == CloseDecision::CloseDroppingEdits) {
        // Edits that cannot be written (no I&M data read, or the kernel's
        // state allows no writing) go, but not without a word.
        ReportFailure(QString(), true, QStringLiteral("ctlButtons_Clos"));
    }
    OnlineView::ctlButtons_Close();
}

bool Identification::AskYes(std::int32_t textId) {
    int answer = kIdYes;
    Guarded(QStringLiteral(".AskUser, Error: "), [&] {
        answer = Kernel().UserDialog()->AskUser(CommonText(textId), typeName(), kMbYesNo);
    });
    return answer == kIdYes;
}

bool Identification::IDtmActiveXControl_PrepareToRelease() {
    if (Released()) {
        return true;
    }
    if (m_sequence.SaveBeforeRelease(connection.blnPrepareToRelease, KernelState())) {
        Log(QStringLiteral(".IDtmActiveXControl_PrepareToRelease"),
            QStringLiteral("Save I&M Data before closing the control"));
        ctlButtons_Close();
        return false;
    }
    if (m_sequence.m_lSavePending == 0) {
        CloseHelp();
        bool commentSaved = true;
        SkipOnError([&] {
            const QString comment = txtComment->toPlainText();
            if (ParameterManager().StoredComment() != comment) {
                ParameterManager().SetStoredComment(comment);
                commentSaved = SaveDataSet();
            }
        });
        if (!commentSaved && !AskYes(kTextCloseWithoutComment)) {
            // The view stays open with the comment; the next close saves
            // again.
            return false;
        }
        SkipOnError([&] { Kernel().UiManager()->RequestDataSetUnlock(); });
        ReleaseConnection();
    }
    return true;
}

// ---- showing and storing ----

void Identification::ParseQsData(const ByteArray& bytes) {
    // A QS answer without bytes has been reported as "No data read"; the
    // I&M data are shown all the same.
    if (!bytes.empty()) {
        auto qs = Components().CreateQsData();
        try {
            qs->LoadBytes(bytes);
        } catch (const ComError& e) {
            ReportError(e.number(), e.description(), QStringLiteral("ParseQsData"));
            return;
        }
        ShowQsData(*qs);
        StoreQsData(bytes);
    }
    if (m_sequence.m_bIMDataRead) {
        ParseIM0Data();
    }
    if (m_bIMStoreChanged || m_bQsStoreChanged) {
        if (Kernel().UiManager()->IsEditAllowed()) {
            m_bIMStoreChanged = false;
            m_bQsStoreChanged = false;
            SaveDataSet();
            SkipOnError([&] { Kernel().UiManager()->RequestDataSetUnlock(); });
        }
    }
}

void Identification::ParseIM0Data() {
    auto im = Components().CreateIMData();
    try {
        im->LoadRecords(m_sequence.m_abIM0, m_sequence.m_abIM1, m_sequence.m_abIM2);
    } catch (const ComError& e) {
        ReportError(e.number(), e.description(), QStringLiteral("ParseIM0Data"));
        return;
    }
    m_objIMData = std::move(im);
    ShowIMTexts(*m_objIMData);
    m_sequence.m_bIMDataChanged = false;
    StoreIMData(m_sequence.m_abIM0, m_sequence.m_abIM1, m_sequence.m_abIM2);
    SetIMDataFields(true);
}

void Identification::ShowQsData(const IQsData& qs) {
    const std::pair<QLineEdit*, QString> values[] = {{txtChargeNumber, qs.ChargeCode()},
                                                     {txtSerialNumber, qs.SerialNumber()},
                                                     {txtSoftwareRevision, qs.SoftwareRevision()},
                                                     {txtHardwareRevision, qs.HardwareRevision()}};
    for (const auto& [box, text] : values) {
        box->setText(text);
        box->setCursorPosition(0);
    }
    // The regional short date; a module never refreshed has no date.
    const QDate refreshed = qs.DateOfLastRefresh();
    txtLastUpdate->setText(refreshed.isValid()
                               ? QLocale::system().toString(refreshed, QLocale::ShortFormat)
                               : kNotRead);
    FitLastUpdate();
}

void Identification::FitLastUpdate() {
    // The box keeps its right edge and grows to the left when the regional
    // date is longer than the design width.
    const int right = Px(kLastUpdateLeft + kLastUpdateWidth);
    const int needed = txtLastUpdate->fontMetrics().horizontalAdvance(txtLastUpdate->text()) + 12;
    const int width = std::max(Px(kLastUpdateWidth), needed);
    txtLastUpdate->setGeometry(right - width, Px(4980), width, Px(kRowHeight));
    txtLastUpdate->setCursorPosition(0);
}

void Identification::ShowIMTexts(const IIMData& im) {
    txtTagFunction->setText(TrimBlanks(im.TagFunction()));
    txtTagLocation->setText(TrimBlanks(im.TagLocation()));
    txtInstallationDate->setText(TrimBlanks(im.InstallationDate()));
    for (QLineEdit* box : {txtTagFunction, txtTagLocation, txtInstallationDate}) {
        box->setCursorPosition(0);
    }
}

void Identification::ShowNoImData() {
    txtTagFunction->setText(TextOrEmpty(kTextNoImData));
    txtTagLocation->setText(kNotRead);
    txtInstallationDate->setText(kNotRead);
    m_sequence.m_bIMDataChanged = false;
}

ByteArray Identification::BagContents(const QString& key, const IPersistable& object) {
    auto bag = Components().CreatePropertyBag();
    bag->WriteProperty(key, object);
    return bag->Contents();
}

bool Identification::StoreIfDiffers(const QString& key, const IPersistable& object,
                                    ByteArray (IParameterManager::*stored)(),
                                    void (IParameterManager::*store)(const ByteArray&)) {
    // A failing step is skipped; a failed comparison counts as a difference.
    ByteArray contents;
    SkipOnError([&] { contents = BagContents(key, object); });
    bool differ = true;
    SkipOnError(
        [&] { differ = identification::ContentsDiffer((ParameterManager().*stored)(), contents); });
    if (differ) {
        SkipOnError([&] { (ParameterManager().*store)(contents); });
    }
    return differ;
}

bool Identification::ReadStored(const ByteArray& contents, const QString& key,
                                IPersistable& object) {
    if (contents.empty()) {
        return false;
    }
    auto bag = Components().CreatePropertyBag();
    bag->SetContents(contents);
    bag->ReadProperty(key, object);
    return true;
}

void Identification::StoreQsData(const ByteArray& bytes) {
    auto qs = Components().CreateQsData();
    try {
        qs->LoadBytes(bytes);
    } catch (const ComError& e) {
        ReportError(e.number(), e.description(), QStringLiteral("ParseQsData"));
        return;
    }
    if (StoreIfDiffers(QStringLiteral("QsData"), *qs, &IParameterManager::StoredQsData,
                       &IParameterManager::SetStoredQsData)) {
        m_bQsStoreChanged = true;
    }
}

void Identification::StoreIMData(const ByteArray& im0, const ByteArray& im1, const ByteArray& im2) {
    auto im = Components().CreateIMData();
    try {
        im->LoadRecords(im0, im1, im2);
    } catch (const ComError& e) {
        ReportError(e.number(), e.description(), QStringLiteral("ParseQsData"));
        return;
    }
    if (!m_objIMData) {
        m_objIMData = Components().CreateIMData();
    }
    m_objIMData->SetTagFunction(TrimBlanks(im->TagFunction()));
    m_objIMData->SetTagLocation(TrimBlanks(im->TagLocation()));
    m_objIMData->SetInstallationDate(TrimBlanks(im->InstallationDate()));
    if (StoreIfDiffers(QStringLiteral("IMData"), *m_objIMData, &IParameterManager::StoredIMData,
                       &IParameterManager::SetStoredIMData)) {
        m_bIMStoreChanged = true;
    }
}

void Identification::StoreAfterWrite() {
    if (!m_objIMData) {
        m_objIMData = Components().CreateIMData();
    }
    m_objIMData->SetTagFunction(TrimBlanks(txtTagFunction->text()));
    m_objIMData->SetTagLocation(TrimBlanks(txtTagLocation->text()));
    m_objIMData->SetInstallationDate(TrimBlanks(txtInstallationDate->text()));
    ByteArray contents;
    SkipOnError([&] { contents = BagContents(QStringLiteral("IMData"), *m_objIMData); });
    SkipOnError([&] { ParameterManager().SetStoredIMData(contents); });
    SkipOnError([&] { ParameterManager().SetStoredComment(txtComment->toPlainText()); });
}

// ---- data set lock ----

void Identification::LockControls() {
    QPalette palette = txtComment->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    txtComment->setPalette(palette);
    txtComment->setReadOnly(true);
    ctlButtons->DisableOk();
}

void Identification::UnlockControls() {
    txtComment->setPalette(QPalette());
    txtComment->setReadOnly(false);
    ctlButtons->EnableOk();
}

void Identification::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    SkipOnError([&] {
        QWidget* bar = ctlButtons->widget();
        const int barHeight = bar->height() > 0 ? bar->height() : bar->sizeHint().height();
        bar->setGeometry(Px(120), height() - barHeight, width() - Px(240), barHeight);
        bar->raise();
    });
}

} // namespace rq16
