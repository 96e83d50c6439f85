#pragma once
// The information view: DTM name and revisions, legal notice, two pictures.

#include "frame/ViewBase.h"

class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;

namespace rq16 {

class About : public ViewBase {
    Q_OBJECT
public:
    explicit About(QWidget* parent = nullptr);

    bool IDtmActiveXControl_Init(const QString& invokeId, const QString& functionCall,
                                 IDtm* Dtm) override;
    bool IDtmActiveXControl_PrepareToRelease() override;

    // Controls, public so hosts and tests can read what is shown.
    QLabel* lblDtmName = nullptr;
    QGroupBox* fraRevision = nullptr;
    QLabel* Label20 = nullptr;
    QLabel* lblTextDtmRevision = nullptr;
    QLabel* Label21 = nullptr;
    QLabel* lblTextFdtRevision = nullptr;
    QLabel* lblLegalText = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Picture1 = nullptr;
    QFrame* Line1 = nullptr;
    QFrame* Line2 = nullptr;
    QPushButton* cmdOK = nullptr;

public slots:
    void cmdOK_Click();

private:
    void LoadCaptionsFromResources();
    void ShowInformation();
    void LoadAboutPictures();

    IUiManager* m_objUiManager = nullptr;
};

} // namespace rq16
