#pragma once
// The channel element of the Simulation view: the observation element with
// the force choices of its channel added (forcing activated, force value 0
// or 1, and for inputs force invalid). It sends nothing: every click raises
// one event to the view. The forced state it shows is its own check box,
// whatever the caller passes.

#include "ChannelObservation.h"

class QCheckBox;
class QLabel;
class QRadioButton;

namespace rq16 {

class ChannelSimulation : public ChannelObservation {
    Q_OBJECT
public:
    explicit ChannelSimulation(QWidget* parent = nullptr);
    ~ChannelSimulation() override;

    /// The user may not change the force choices; the display goes on.
    bool Locked() const { return m_locked; }
    void SetLocked(bool value);

    /// Also shows the force invalid choice exactly for inputs.
    void SetIsInput(bool value) override;

    // ---- the force choices ----
    bool forcingActivated() const;
    /// optValue(1) is selected.
    bool forceValue() const;
    bool forcedInvalid() const;
    /// The force invalid box and its caption are shown.
    bool forceInvalidShown() const;
    QCheckBox* forcingActivatedBox() const { return chkForcingActivated; }
    QCheckBox* forcedInvalidBox() const { return chkForcedInvalid; }
    QRadioButton* valueButton(int value) const { return optValue[value != 0 ? 1 : 0]; }

    QSize sizeHint() const override;

signals:
    /// An option button was clicked: true for "1".
    void ForceValueChanged(bool ForceValue);
    /// chkForcingActivated was clicked: true when it is now checked.
    void ForceActivatedChanged(bool ForcingActivated);
    /// chkForcedInvalid was clicked: true when it is now checked.
    void ForceInvalidChanged(bool Invalid);

protected:
    void LoadTexts() override;
    bool ForcedFlag(bool isForced) const override;
    void RefreshDisplay() override;

private:
    void BuildForceControls();
    /// The force controls as screen readers announce them: "Forced 1".
    void NameForceControls();
    void optValue_Click(int index);

    bool m_locked = false;
    QWidget* Picture1 = nullptr;
    QRadioButton* optValue[2] = {nullptr, nullptr};
    QCheckBox* chkForcingActivated = nullptr;
    QCheckBox* chkForcedInvalid = nullptr;
    QLabel* lblForcingActivated = nullptr;
    QLabel* lblForceInvalid = nullptr;
    QLabel* lblForced = nullptr;
};

} // namespace rq16
