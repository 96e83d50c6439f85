#include "Parameter.h"

#include "BoundedText.h"
#include "host/Constants.h"

#include "ComponentRegistry.h"
#include "SkipOnError.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QResizeEvent>
#include <QStringList>
#include <QVBoxLayout>

#include <exception>

namespace rq16 {

namespace {

constexpr std::int32_t kTextUnsavedEdits = 6501;
constexpr std::int32_t kTextNoValidParameters = 6502;
constexpr std::int32_t kTextNotSaved = 6503;

/// Space between the module type and the slot number label (120 twips).
constexpr int kModuleTypeGap = 8;

const QString kInitPhase = QStringLiteral(": IDtmActiveXControl_Init");
const QString kGetAllValuesError = QStringLiteral("_GetAllValues, Error: ");

} // namespace

template <typename F> void Parameter::RunEvent(const QString& operation, F&& handler) {
    Guarded(operation + QStringLiteral(", Error: "), std::forward<F>(handler));
}

Parameter::Parameter(QWidget* parent)
    : ViewBase(ViewTraits{QStringLiteral("Parameter"), kHelpContextId, true,
                          /*followsDataSetLock=*/true},
               parent) {
    BuildControls();
    for (int i = 0; i < kChannelPairCount; ++i) {
        ctlChannelParameter[static_cast<std::size_t>(i)]->SetChannelNumber(
            static_cast<std::int16_t>(i + 1));
    }
}

Parameter::~Parameter() {
    if (m_parameterManagerAdvised && m_objParameterManager != nullptr) {
        m_objParameterManager->Unadvise(this);
    }
}

void Parameter::BuildControls() {
    m_content = new QWidget(this);
    m_content->setObjectName(QStringLiteral("Content"));
    SetContentAboveBar(m_content);

    m_header = new QWidget(m_content);
    lblModuleType = new QLabel(QStringLiteral("RQ16"), m_header);
    lblModuleType->setObjectName(QStringLiteral("lblModuleType"));
    lblSlotNumberLabel = new QLabel(QStringLiteral("slot number"), m_header);
    lblSlotNumberLabel->setObjectName(QStringLiteral("lblSlotNumberLabel"));
    lblSlotNumber = new QLabel(m_header);
    lblSlotNumber->setObjectName(QStringLiteral("lblSlotNumber"));
    for (QLabel* label : {lblModuleType, lblSlotNumberLabel, lblSlotNumber}) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    auto* headerLayout = new QHBoxLayout(m_header);
    headerLayout->setContentsMargins(2, 0, 2, 0);
    headerLayout->setSpacing(0);
    headerLayout->addWidget(lblModuleType);
    headerLayout->addSpacing(kModuleTypeGap);
    headerLayout->addWidget(lblSlotNumberLabel);
    headerLayout->addSpacing(kModuleTypeGap / 2);
    headerLayout->addWidget(lblSlotNumber);
    headerLayout->addStretch(1);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(12);
    for (int i = 0; i < kChannelPairCount; ++i) {
        auto* element = new ChannelParameter(m_content);
        element->setObjectName(QStringLiteral("ctlChannelParameter_%1").arg(i));
        ctlChannelParameter[static_cast<std::size_t>(i)] = element;
        grid->addWidget(element, i / 2, i % 2);
        connect(element, &ChannelParameter::SetDirty, this,
                [this, i](bool value) { ctlChannelParameter_SetDirty(i, value); });
    }

    auto* layout = new QVBoxLayout(m_content);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);
    layout->addWidget(m_header);
    layout->addLayout(grid);
    layout->addStretch(1);
}

ChannelParameter* Parameter::channelParameter(int index) const {
    if (index < 0 || index >= kChannelPairCount) {
        return nullptr;
    }
    return ctlChannelParameter[static_cast<std::size_t>(index)];
}

bool Parameter::IDtmActiveXControl_Init(const QString& invokeId, const QString& functionCall,
                                        IDtm* Dtm) {
    Q_UNUSED(functionCall);
    Log(QString(), QStringLiteral("IDtmActiveXControl_Init"));

    TakeDtm(Dtm);
    InitStatement([&] {
        ParameterManager().Advise(this);
        m_parameterManagerAdvised = true;
    });

    Log(kInitPhase, QStringLiteral("Before resource initialization"));
    CreateConfiguredResourceManager(m_objResourceManager);
    CreateConfiguredResourceManager(m_objChannelResourceManager);

    Log(kInitPhase, QStringLiteral("Before channel parameter initialization"));
    for (ChannelParameter* element : ctlChannelParameter) {
        InitStatement([&] { element->SetResourceManager(m_objChannelResourceManager.get()); });
    }

    Log(kInitPhase, QStringLiteral("Before loading resources"));
    InitStatement([&] { LoadResources(); });
    InitStatement([&] {
        if (!Kernel().UiManager()->IsEditAllowed()) {
            LockControls();
        }
    });

    Log(kInitPhase, QStringLiteral("Before getting values"));
    InitStatement([&] { GetAllValues(); });

    Log(kInitPhase, QStringLiteral("Before initializing button control"));
    m_sInvokeId = invokeId;
    InitStatement([&] { ctlButtons->SetResourceManager(Kernel().ResourceManager()); });
    InitStatement([&] { ctlButtons->SetArea(width(), height()); });
    InitStatement([&] { ctlButtons->SetStandardButtons(true, true, true, false); });
    InitStatement([&] { ctlButtons->DisableApply(); });
    InitStatement([&] { ctlButtons->SetMessage(QString()); });
    InitStatement([&] {
        if (m_parametersRefused) {
            ApplyEditability();
            ctlButtons->SetMessage(CommonText(kTextNoValidParameters));
        }
    });

    InitStatement([&] { Kernel().UiManager()->InitFinished(m_sInvokeId); });
    Log(kInitPhase, QStringLiteral("finished"));
    return true;
}

bool Parameter::IDtmActiveXControl_PrepareToRelease() {
    CloseHelp();
    if (Released()) {
        return true;
    }
    if (m_objKernel != nullptr) {
        SkipOnError([&] {
            if (m_dirty) {
                const int answer = m_objKernel->UserDialog()->AskUser(CommonText(kTextUnsavedEdits),
                                                                      m_module.typeName, kMbYesNo);
                if (answer == kIdYes) {
                    ApplySteps();
                }
            }
        });
        SkipOnError([&] { m_objKernel->UiManager()->RequestDataSetUnlock(); });
    }
    SkipOnError([&] {
        if (m_parameterManagerAdvised && m_objParameterManager != nullptr) {
            m_objParameterManager->Unadvise(this);
        }
    });
    m_parameterManagerAdvised = false;
    SkipOnError([&] { SendPreparedToRelease(); });
    return true;
}

QString Parameter::DecToBin(std::int32_t DeciValue, std::int16_t& NoOfBits) const {
    return rq16::DecToBin(DeciValue, NoOfBits);
}

void Parameter::LoadResources() {
    ShowBounded(lblSlotNumberLabel, CommonText(kTextSlotNumber));
}

void Parameter::GetAllValues() {
    Log(QString(), QStringLiteral("GetAllValues"));
    if (m_objDtm == nullptr || m_objParameterManager == nullptr) {
        Log(kGetAllValuesError, QStringLiteral("no DTM"));
        return;
    }

    Guarded(kGetAllValuesError, [&] {
        m_module = ReadModule();
        lblSlotNumber->setText(
            QStringLiteral("%1").arg(m_module.slotNumber, 2, 10, QLatin1Char('0')));
        ShowBounded(lblModuleType, m_module.typeName, kMaxCaptionWidth, QStringLiteral(": "));
    });

    Guarded(kGetAllValuesError, [&] {
        ByteArray bytes;
        m_objParameterManager->GetParameterBytes(bytes);
        ParameterBytes = std::move(bytes);
        ShowParameterValidity();
        RequireParameterPositions(ParameterBytes);
    });

    int channelCount = 0;
    QString protocolId;
    Guarded(kGetAllValuesError, [&] {
        protocolId = m_objDtm->ProtocolId();
        channelCount = m_objDtm->ChannelCount();
    });
    for (int i = 1; i <= channelCount; ++i) {
        Guarded(kGetAllValuesError, [&] {
            IFdtChannel* item = m_objDtm->Channel(i);
            if (item == nullptr) {
                throw ComError(kErrInvalidArg, QStringLiteral("channel item %1 is missing").arg(i));
            }
            const QString document = item->GetDocumentPart(QStringLiteral("FDT"), protocolId);
            auto reader = Components().CreateChannelReader();
            if (!reader->Parse(document, m_objDocumentContext)) {
                Log(QStringLiteral(".GetAllValues"), reader->LastError());
                return;
            }
            const ChannelObject channel = reader->Channel();
            ChannelParameter* element = channelParameter((channel.channelNumber - 1) / 2);
            if (channel.channelNumber < 1 || element == nullptr) {
                throw ComError(
                    kErrInvalidArg,
                    QStringLiteral("channel number %1 is out of range").arg(channel.channelNumber));
            }
            if (channel.channelNumber % 2 == 1) {
                element->SetChannelTag(channel.tag);
            } else {
                element->SetChannelTag2(channel.tag);
            }
        });
    }

    Guarded(kGetAllValuesError, [&] { ShowAllValues(); });
}

void Parameter::ShowAllValues() {
    // Refused data has already been reported; the elements keep their values.
    if (!HasParameterPositions(ParameterBytes)) {
        return;
    }
    for (int k = 0; k < kChannelPairCount; ++k) {
        ctlChannelParameter[static_cast<std::size_t>(k)]->SetRecord(DecodePair(ParameterBytes, k));
    }
}

void Parameter::SetAllValues() {
    if (!HasParameterPositions(ParameterBytes)) {
        throw ComError(kErrInvalidArg, CommonText(kTextNoValidParameters));
    }
    ChannelPairRecords records;
    for (int k = 0; k < kChannelPairCount; ++k) {
        records[static_cast<std::size_t>(k)] =
            ctlChannelParameter[static_cast<std::size_t>(k)]->Record();
    }
    EncodeAllPairs(ParameterBytes, records);
    ParameterManager().SetParameterBytes(ParameterBytes);
    ParameterManager().CommitParameters();
}

void Parameter::SetDirtyState(bool dirty) {
    m_dirty = dirty;
    if (dirty) {
        ctlButtons->EnableApply();
    } else {
        ctlButtons->DisableApply();
    }
}

void Parameter::LockControls() {
    m_editable = false;
    ApplyEditability();
}

void Parameter::UnlockControls() {
    m_editable = true;
    ApplyEditability();
}

void Parameter::ApplyEditability() {
    const bool editable = m_editable && HasParameterPositions(ParameterBytes);
    if (editable) {
        ctlButtons->EnableOk();
        ctlButtons->EnableApply();
    } else {
        ctlButtons->DisableOk();
        ctlButtons->DisableApply();
    }
    for (ChannelParameter* element : ctlChannelParameter) {
        element->SetLocked(!editable);
    }
}

void Parameter::ShowParameterValidity() {
    const bool refused = !HasParameterPositions(ParameterBytes);
    if (refused) {
        ApplyEditability();
        ctlButtons->SetMessage(CommonText(kTextNoValidParameters));
    } else if (m_parametersRefused) {
        ctlButtons->SetMessage(QString());
        ApplyEditability();
    }
    m_parametersRefused = refused;
}

void Parameter::ctlChannelParameter_SetDirty(int index, bool value) {
    RunEvent(QStringLiteral(".ctlChannelParameter_SetDirty"), [&] {
        if (HasParameterPositions(ParameterBytes)) {
            UpdatePair(ParameterBytes, index,
                       ctlChannelParameter[static_cast<std::size_t>(index)]->Record());
            QStringList hex;
            QStringList binary;
            for (std::size_t i = 0; i < kUsedParameterBytes; ++i) {
                hex << QString::number(ParameterBytes[i], 16).toUpper();
                std::int16_t bits = 8;
                binary << DecToBin(ParameterBytes[i], bits);
            }
            Log(QString(), QStringLiteral("ISetDirty: ") + hex.join(QStringLiteral(", ")));
            Log(QString(), QStringLiteral("ISetDirty: ") + binary.join(QStringLiteral(", ")));
        }
        SetDirtyState(value);
    });
}

bool Parameter::ApplySteps() {
    if (!m_dirty) {
        return true;
    }
    ctlButtons->SetMessage(QString());
    try {
        SetAllValues();
    } catch (const ComError& e) {
        // The edits stay in the view (still dirty); the data set keeps what
        // its file holds.
        QString message = e.description();
        SkipOnError([&] { message = CommonText(kTextNotSaved) + QLatin1Char(' ') + message; });
        ReportError(e.number(), message, typeName() + QStringLiteral(".SetAllValues"));
        return false;
    }
    SetDirtyState(false);
    return true;
}

void Parameter::CloseSteps() {
    if (m_objKernel != nullptr) {
        m_objKernel->UiManager()->RequestClose(m_sInvokeId);
    }
}

void Parameter::ctlButtons_Apply() {
    RunEvent(QStringLiteral(".ctlButtons_Apply"), [&] { ApplySteps(); });
}

void Parameter::ctlButtons_OK() {
    RunEvent(QStringLiteral(".ctlButtons_OK"), [&] {
        if (ApplySteps()) {
            CloseSteps();
        }
    });
}

void Parameter::ctlButtons_Cancel() {
    RunEvent(QStringLiteral(".ctlButtons_Cancel"), [&] {
        m_dirty = false;
        CloseSteps();
    });
}

void Parameter::ctlButtons_Close() {
    RunEvent(QStringLiteral(".ctlButtons_Close"), [&] { CloseSteps(); });
}

void Parameter::BaseDtm_ParameterChanged() {
    GetAllValues();
}

void Parameter::ParameterManager_ParameterChanged() {
    GetAllValues();
}

} // namespace rq16
