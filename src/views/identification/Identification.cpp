#include "Identification.h"

#include "Accessibility.h"
#include "BoundedText.h"
#include "ComponentRegistry.h"
#include "SkipOnError.h"

#include "host/Constants.h"

#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QTextDocument>

#include <cmath>

namespace rq16 {

using Request = ConnectionProtocol::Request;

namespace {

// Common texts.
constexpr std::int32_t kTextNoImData = 9070;
// Names for assistive technology of the boxes without a label of their own.
constexpr std::int32_t kTextHardware = 7007;
constexpr std::int32_t kTextSoftware = 7008;
constexpr std::int32_t kTextSerialNumber = 7020;
constexpr std::int32_t kTextLastUpdate = 7021;
constexpr std::int32_t kTextComment = 7022;
// Device texts.
constexpr std::int32_t kTextOrderNumber = 2001;
constexpr std::int32_t kTextDescription = 2002;
constexpr std::int32_t kTextChannels = 2003;
constexpr std::int32_t kTextRanges = 2004;
// Pictures of the common folder.
constexpr std::int32_t kPictureProfibus = 602;
constexpr std::int32_t kPictureOther = 610;

const QString kNotRead = QStringLiteral("-/-");

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

/// Rounds to the nearest integer, halves to the even neighbour.
long long RoundHalfEven(double value) {
    return std::llround(std::nearbyint(value));
}

QLineEdit* NewBox(QWidget* parent, const QString& name, int row, bool readOnly) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    // Read-only boxes stay in the tab order: a keyboard or screen reader
    // user reads and copies them there.
    box->setReadOnly(readOnly);
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
                            /*followsDataSetLock=*/true, kTextReread},
                 ConnectionProtocol::IdentificationTraits(),
                 &IParameterManager::GetReadQsDataRequest, parent),
      m_store([this]() -> IParameterManager& { return ParameterManager(); }) {
    BuildControls();
    for (QLineEdit* box : {txtChargeNumber, txtSerialNumber, txtSoftwareRevision,
                           txtHardwareRevision, txtLastUpdate}) {
        box->setText(kNotRead);
    }
    txtManufacturer->setText(QStringLiteral("ORLIN"));
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
        connect(box, &QLineEdit::textChanged, this, [this] { m_protocol.ImTextsEdited(); });
    }

    txtComment = new QPlainTextEdit(this);
    txtComment->setObjectName(QStringLiteral("txtComment"));
    txtComment->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab leaves the comment instead of typing a tab into it.
    txtComment->setTabChangesFocus(true);
    txtComment->setGeometry(PxRect(90, 5460, 8685, 1095));
    connect(txtComment->document(), &QTextDocument::contentsChanged, this,
            [this] { m_commentEdited = true; });

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
    txtLastUpdate->setGeometry(PxRect(kLastUpdateLeft, 4980, kLastUpdateWidth, kRowHeight));
    // Last update stands level with the installation date, above the comment.
    setTabOrder(txtLastUpdate, txtComment);

    resize(sizeHint());
}

QSize Identification::sizeHint() const {
    const int barHeight = ctlButtons ? ctlButtons->widget()->sizeHint().height() : 0;
    return {Px(kDesignWidth), std::max(Px(kDesignHeight), Px(6600) + barHeight)};
}

QString Identification::Comment() const {
    // The box changes some characters of a text (no-break spaces, line
    // ends); what it was not asked to change stays as it was shown.
    if (!m_commentEdited) {
        return m_commentShown;
    }
    return identification::CommentFromBox(txtComment->document()->toRawText(), m_commentForm);
}

QLineEdit* Identification::textBox(const QString& name) const {
    return findChild<QLineEdit*>(name);
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
                ShowBounded(frame, text);
            } else {
                ShowBounded(static_cast<QLabel*>(control), text);
            }
        });
    }
    const std::pair<QLineEdit*, std::int32_t> deviceTexts[] = {{txtOrderNumber, kTextOrderNumber},
                                                               {txtDescription, kTextDescription},
                                                               {txtChannels, kTextChannels},
                                                               {txtRanges, kTextRanges}};
    for (const auto& [box, id] : deviceTexts) {
        InitStatement([&, box = box, id = id] {
            const QString text = DeviceText(id);
            box->setText(ShownText(text));
            box->setToolTip(ToolTipText(text)); // the whole text where the box cuts it
            box->setCursorPosition(0);
        });
    }
    InitStatement([&] {
        ShowBounded(lblHardwareSoftware, CommonText(7007) + QLatin1Char('/') + CommonText(7008),
                    kMaxCaptionWidth, QStringLiteral(":"));
    });
    ShowBounded(lblModuleType, module.typeName, lblModuleType->width());
    NameAfterLabels({{txtManufacturer, lblManufacturer},
                     {txtOrderNumber, lblOrderNumber},
                     {txtChargeNumber, lblChargeCode},
                     {txtDescription, lblDescription},
                     {txtChannels, lblChannels},
                     {txtRanges, lblRanges},
                     {txtTagFunction, lblTagFunction},
                     {txtTagLocation, lblTagLocation},
                     {txtInstallationDate, lblInstallationDate},
                     {imgDevice, lblModuleType}});
    const std::pair<QWidget*, std::int32_t> names[] = {{txtSerialNumber, kTextSerialNumber},
                                                       {txtHardwareRevision, kTextHardware},
                                                       {txtSoftwareRevision, kTextSoftware},
                                                       {txtLastUpdate, kTextLastUpdate},
                                                       {txtComment, kTextComment}};
    for (const auto& [control, id] : names) {
        SetAccessibleText(control, TextOrEmpty(id));
    }
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
        if (m_store.ReadQsData(*qs)) {
            ShowQsData(*qs);
        }
    });
    InitStatement([&] {
        auto im = Components().CreateIMData();
        if (m_store.ReadIMData(*im)) {
            m_objIMData = std::move(im);
            ShowIMTexts(*m_objIMData);
        }
    });
    m_protocol.ImTextsShown();
    InitStatement([&] {
        m_commentShown = ParameterManager().StoredComment();
        txtComment->setPlainText(identification::CommentForBox(m_commentShown, m_commentForm));
        m_commentEdited = false;
    });
    InitStatement([&] {
        if (!Kernel().UiManager()->IsEditAllowed()) {
            LockControls();
        }
    });
    InitStatement([&] { ctlButtons->SetMessage(QString()); });
    OnlineView::AfterInit(); // connects only in the kernel's online state
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

void Identification::CallReadQsData(const QVariant& vArguments) {
    Q_UNUSED(vArguments);
    CallRead();
}

void Identification::CallWriteIMData(const QVariant& vArguments) {
    Q_UNUSED(vArguments);
    Carry(m_protocol.CallWriteIMData(), QStringLiteral("CallWriteIMData"));
}

QString Identification::ViewRequestDocument(const Step& step) {
    using identification::CallHeader;
    using identification::kImIndex;
    const QString& reference = CommunicationReference();
    switch (step.request) {
    case Request::SelectIM0:
    case Request::SelectIM1:
    case Request::SelectIM2:
        return GetWriteRequestDocument(
            reference, kImIndex,
            CallHeader(static_cast<int>(step.request) - static_cast<int>(Request::SelectIM0)));
    case Request::ReadRecord:
        return GetReadRequestDocument(reference, static_cast<std::uint8_t>(kImIndex));
    case Request::WriteIM1Record:
        return GetWriteRequestDocument(
            reference, kImIndex,
            identification::BuildIM1Record(m_objIMData ? m_objIMData->IM1Header() : QString(),
                                           txtTagFunction->text(), txtTagLocation->text()));
    case Request::WriteIM2Record:
        return GetWriteRequestDocument(
            reference, kImIndex,
            identification::BuildIM2Record(m_objIMData ? m_objIMData->IM2Header() : QString(),
                                           txtInstallationDate->text(),
                                           m_objIMData ? m_objIMData->IM2Reserved() : QString()));
    default:
        return {};
    }
}

void Identification::CarryViewStep(const Step& step) {
    switch (step.kind) {
    case Step::Kind::KeepData:
        KeptRecord(step.request) = step.data;
        break;
    case Step::Kind::ShowNoImData:
        ShowNoImData();
        break;
    case Step::Kind::ParseQsData:
        ParseQsData(m_abQsData);
        break;
    case Step::Kind::StoreAfterWrite:
        SkipOnError([&] {
            m_store.StoreAfterWrite(ObjIMData(), txtTagFunction->text(), txtTagLocation->text(),
                                    txtInstallationDate->text(), Comment());
        });
        break;
    case Step::Kind::RequestDataSetSave:
        SaveDataSet();
        break;
    case Step::Kind::SaveComment:
        SkipOnError([&] {
            if (m_store.StoreComment(Comment())) {
                SaveDataSet();
            }
        });
        break;
    case Step::Kind::RequestDataSetUnlock:
        SkipOnError([&] { Kernel().UiManager()->RequestDataSetUnlock(); });
        break;
    default:
        break;
    }
}

ByteArray& Identification::KeptRecord(ConnectionProtocol::Request request) {
    switch (request) {
    case Request::SelectIM0:
        return m_abIM0;
    case Request::SelectIM1:
        return m_abIM1;
    case Request::SelectIM2:
        return m_abIM2;
    default:
        return m_abQsData;
    }
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

// ---- showing and storing ----

void Identification::ParseQsData(const ByteArray& bytes) {
    // A QS answer without bytes has been reported as "No data read"; the
    // I&M data are shown all the same.
    const QString place = QStringLiteral("ParseQsData");
    if (!bytes.empty()) {
        auto qs = Components().CreateQsData();
        if (!Loaded([&] { qs->LoadBytes(bytes); }, place)) {
            return;
        }
        ShowQsData(*qs);
        Loaded([&] { m_store.StoreQsData(bytes); }, place);
    }
    if (m_protocol.state.m_bIMDataRead) {
        ParseIM0Data();
    }
    if (m_store.m_bIMStoreChanged || m_store.m_bQsStoreChanged) {
        if (Kernel().UiManager()->IsEditAllowed()) {
            m_store.m_bIMStoreChanged = false;
            m_store.m_bQsStoreChanged = false;
            SaveDataSet();
            SkipOnError([&] { Kernel().UiManager()->RequestDataSetUnlock(); });
        }
    }
}

void Identification::ParseIM0Data() {
    // The new object replaces the shown one also when it cannot load the
    // records.
    m_objIMData = Components().CreateIMData();
    if (!Loaded([&] { m_objIMData->LoadRecords(m_abIM0, m_abIM1, m_abIM2); },
                QStringLiteral("ParseIM0Data"))) {
        return;
    }
    ShowIMTexts(*m_objIMData);
    m_protocol.ImTextsShown();
    Loaded([&] { m_store.StoreIMData(*m_objIMData, m_abIM0, m_abIM1, m_abIM2); },
           QStringLiteral("ParseQsData"));
    SetIMDataFields(true);
}

void Identification::ShowQsData(const IQsData& qs) {
    const std::pair<QLineEdit*, QString> values[] = {{txtChargeNumber, qs.ChargeCode()},
                                                     {txtSerialNumber, qs.SerialNumber()},
                                                     {txtSoftwareRevision, qs.SoftwareRevision()},
                                                     {txtHardwareRevision, qs.HardwareRevision()}};
    for (const auto& [box, text] : values) {
        box->setText(ShownText(text));
        box->setToolTip(text.size() > kMaxShownLength ? ToolTipText(text) : QString());
        box->setCursorPosition(0);
    }
    // The regional short date; a module never refreshed has no date.
    const QDate refreshed = qs.DateOfLastRefresh();
    txtLastUpdate->setText(refreshed.isValid()
                               ? QLocale::system().toString(refreshed, QLocale::ShortFormat)
                               : kNotRead);
    // The box keeps its design width; a longer regional date shows whole as
    // its tool tip.
    txtLastUpdate->setToolTip(txtLastUpdate->text());
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
    m_protocol.ImTextsShown();
}

IIMData& Identification::ObjIMData() {
    if (!m_objIMData) {
        m_objIMData = Components().CreateIMData();
    }
    return *m_objIMData;
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
