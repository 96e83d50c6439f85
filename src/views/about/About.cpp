#include "About.h"
#include "frame/BoundedText.h"

#include "frame/ComponentRegistry.h"
#include "frame/SkipOnError.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace rq16 {

namespace {

constexpr std::int32_t kLegalTextFirst = 5004;
constexpr std::int32_t kLegalTextSecond = 5005;
constexpr std::int32_t kDevicePicture = 113;
constexpr std::int32_t kEmblemPicture = 126;

/// A control's numeric tag (the dynamic property "tag"), if it has one.
std::optional<std::int32_t> NumericTag(const QVariant& tag) {
    bool ok = false;
    const std::int32_t n = tag.toString().toInt(&ok);
    return ok ? std::optional<std::int32_t>(n) : std::nullopt;
}

QFrame* MakeLine(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

About::About(QWidget* parent)
    : ViewBase(ViewTraits{QStringLiteral("About"), 0, /*hasButtonBar=*/false}, parent) {
    lblDtmName = new QLabel(QStringLiteral("Device DTM"), this);
    QFont nameFont = lblDtmName->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.5);
    nameFont.setBold(true);
    lblDtmName->setFont(nameFont);
    lblDtmName->setWordWrap(true);

    fraRevision = new QGroupBox(QStringLiteral("Revision"), this);
    Label20 = new QLabel(QStringLiteral("DTM:"), fraRevision);
    lblTextDtmRevision = new QLabel(QStringLiteral("2.x"), fraRevision);
    Label21 = new QLabel(QStringLiteral("FDT:"), fraRevision);
    lblTextFdtRevision = new QLabel(QStringLiteral("1.x"), fraRevision);
    auto* revisionLayout = new QGridLayout(fraRevision);
    revisionLayout->addWidget(Label20, 0, 0);
    revisionLayout->addWidget(lblTextDtmRevision, 0, 1);
    revisionLayout->addWidget(Label21, 1, 0);
    revisionLayout->addWidget(lblTextFdtRevision, 1, 1);
    revisionLayout->setColumnStretch(1, 1);

    lblLegalText = new QLabel(QStringLiteral("This software is protected by copyright law."), this);
    lblLegalText->setWordWrap(true);
    lblLegalText->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Image1 = new QLabel(this);
    Image1->setFixedSize(128, 128);
    Image1->setAlignment(Qt::AlignCenter);
    Picture1 = new QLabel(this);
    Picture1->setFixedSize(64, 64);
    Picture1->setAlignment(Qt::AlignCenter);
    Picture1->setFrameShape(QFrame::StyledPanel);

    Line1 = MakeLine(this);
    Line2 = MakeLine(this);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdOK->setMinimumWidth(96);
    connect(cmdOK, &QPushButton::clicked, this, &About::cmdOK_Click);

    auto* header = new QHBoxLayout;
    header->addWidget(Image1, 0, Qt::AlignTop);
    auto* headerText = new QVBoxLayout;
    headerText->addWidget(lblDtmName);
    headerText->addWidget(fraRevision);
    headerText->addStretch(1);
    header->addLayout(headerText, 1);

    auto* footer = new QHBoxLayout;
    footer->addWidget(Picture1);
    footer->addStretch(1);
    footer->addWidget(cmdOK, 0, Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addLayout(header);
    layout->addWidget(Line1);
    layout->addWidget(lblLegalText, 1);
    layout->addWidget(Line2);
    layout->addLayout(footer);

    resize(460, 380);
}

bool About::IDtmActiveXControl_Init(const QString& invokeId, const QString& functionCall,
                                    IDtm* Dtm) {
    Q_UNUSED(functionCall);
    m_objDtm = Dtm;
    m_objKernel = m_objDtm->DtmKernel();
    m_objUiManager = m_objKernel->UiManager();

    m_objResourceManager = NewConfiguredResourceManager();

    LoadCaptionsFromResources();
    ShowInformation(); // errors here end Init
    LoadAboutPictures();

    m_sInvokeId = invokeId;
    m_objUiManager->InitFinished(m_sInvokeId);
    return true;
}

void About::LoadCaptionsFromResources() {
    IResourceManager& rm = *m_objResourceManager;
    // A numeric tag names the text; below 5000 the text comes from the
    // resource server's own folder, from 5000 on from the common folder.
    auto textFor = [&](std::int32_t id) {
        return rm.GetString(id, id < 5000 ? QString() : sCommonResourcePath);
    };

    for (QWidget* control : findChildren<QWidget*>()) {
        if (auto* menu = qobject_cast<QMenu*>(control)) {
            SkipOnError([&] {
                if (auto id = NumericTag(menu->title())) {
                    menu->setTitle(rm.GetString(*id, sCommonResourcePath));
                }
            });
            continue;
        }
        if (auto* tabs = qobject_cast<QTabWidget*>(control)) {
            for (int i = 0; i < tabs->count(); ++i) {
                SkipOnError([&] {
                    if (auto id = NumericTag(tabs->tabBar()->tabData(i))) {
                        tabs->setTabText(i, rm.GetString(*id, sCommonResourcePath));
                    }
                });
            }
            continue;
        }
        if (auto* toolBar = qobject_cast<QToolBar*>(control)) {
            for (QAction* action : toolBar->actions()) {
                SkipOnError([&] {
                    if (auto id = NumericTag(action->property("tag"))) {
                        action->setToolTip(rm.GetString(*id, sCommonResourcePath));
                    }
                });
            }
            continue;
        }
        if (auto* list = qobject_cast<QTreeWidget*>(control)) {
            QTreeWidgetItem* headerItem = list->headerItem();
            for (int c = 0; headerItem && c < headerItem->columnCount(); ++c) {
                SkipOnError([&] {
                    if (auto id = NumericTag(headerItem->data(c, Qt::UserRole))) {
                        headerItem->setText(c, rm.GetString(*id, sCommonResourcePath));
                    }
                });
            }
            continue;
        }
        SkipOnError([&] {
            const auto id = NumericTag(control->property("tag"));
            if (!id) {
                return;
            }
            const QString text = textFor(*id);
            if (auto* label = qobject_cast<QLabel*>(control)) {
                label->wordWrap() ? ShowWrapped(label, text) : ShowBounded(label, text);
            } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
                ShowBounded(group, text);
            } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
                ShowBounded(button, text);
            }
        });
    }

    SkipOnError([&] {
        ShowWrapped(lblLegalText, rm.GetString(kLegalTextFirst, sCommonResourcePath) +
                                      rm.GetString(kLegalTextSecond, sCommonResourcePath));
    });
}

void About::ShowInformation() {
    const QString document = m_objKernel->DtmInformation()->InfoDocument();
    auto reader = Components().CreateInfoReader();
    if (!reader->Parse(document, m_objKernel->DocumentContext())) {
        return; // the design-time captions stay
    }
    const DtmInfoObject info = reader->Information();
    ShowWrapped(lblDtmName, info.name);
    ShowBounded(lblTextDtmRevision, info.dtmRevision);
    lblTextFdtRevision->setText(QString::number(info.fdtMajorVersion) + QLatin1Char('.') +
                                QString::number(info.fdtMinorVersion));
}

void About::LoadAboutPictures() {
    // Each picture takes its size from its control; a missing one is skipped.
    for (auto [target, id] :
         {std::pair{Image1, kDevicePicture}, std::pair{Picture1, kEmblemPicture}}) {
        SkipOnError([&, target = target, id = id] {
            target->setPixmap(m_objResourceManager->LoadPicture(id, target->width(),
                                                                target->height(), QString()));
        });
    }
}

void About::cmdOK_Click() {
    if (m_objUiManager) {
        m_objUiManager->RequestClose(m_sInvokeId);
    }
}

bool About::IDtmActiveXControl_PrepareToRelease() {
    if (m_objUiManager) {
        m_objUiManager->PreparedToRelease(m_sInvokeId);
    }
    m_objDtm = nullptr;
    m_objKernel = nullptr;
    m_objUiManager = nullptr;
    return true;
}

} // namespace rq16
