#pragma once
// The channel element of the Parameter view: shows and edits the parameters
// of one channel pair.

#include "ChannelParameterRecord.h"
#include "host/ResourceManager.h"

#include <QWidget>

#include <cstdint>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;

namespace rq16 {

class ChannelParameter : public QWidget {
    Q_OBJECT
public:
    explicit ChannelParameter(QWidget* parent = nullptr);
    ~ChannelParameter() override;

    ChannelParameter(const ChannelParameter&) = delete;
    ChannelParameter& operator=(const ChannelParameter&) = delete;

    /// Number n of the pair (1 to 4); its channels are 2n-1 and 2n.
    std::int16_t ChannelNumber() const { return m_channelNumber; }
    void SetChannelNumber(std::int16_t value);
    /// Tag of channel 2n-1.
    const QString& ChannelTag() const { return m_channelTag; }
    void SetChannelTag(const QString& value);
    /// Tag of channel 2n.
    const QString& ChannelTag2() const { return m_channelTag2; }
    void SetChannelTag2(const QString& value);

    /// Manager of the common texts; not owned. Writing it creates the device
    /// resource manager with the same configuration and loads every text.
    IResourceManager* ResourceManager() const { return m_resourceManager; }
    void SetResourceManager(IResourceManager* manager);

    /// Bits 7 to 4 of the pair byte: both detection "off" bits and the
    /// failsafe value. Writing keeps only those bits.
    std::uint8_t FailSafeParameter() const { return m_failSafeByte; }
    void SetFailSafeParameter(std::uint8_t value);
    bool InvertedPolarity() const;
    void SetInvertedPolarity(bool value);
    /// List position of the short-circuit current choice (0 or 1).
    std::uint8_t ShortCircuitCurrent() const;
    void SetShortCircuitCurrent(std::uint8_t value);
    bool ChannelA() const;
    void SetChannelA(bool value);
    bool ChannelB() const;
    void SetChannelB(bool value);

    /// Editing disabled.
    bool Locked() const { return m_locked; }
    void SetLocked(bool value);

    /// All values as one record, and the record written through the setters
    /// in decoding order.
    ChannelPairRecord Record() const;
    void SetRecord(const ChannelPairRecord& record);

    /// Caption of the outer frame: both channels with their tags.
    QString GetFrameCaption();

signals:
    /// Raised with true on every change the user makes; never by a setter.
    void SetDirty(bool value);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void LoadResources();
    /// The controls without a caption of their own take the label beside them.
    void NameControlsAfterLabels();
    void UpdateFrameCaption();
    void ShowFocus(bool focused);
    void OnFocusChanged(QWidget* old, QWidget* now);

    void cboFailsafeValue_Click(int position);
    void chkOpenLineDetection_Click();
    void chkShortDetection_Click();
    void RaiseDirty();

    /// Sets the updating flag for the lifetime of the object.
    class UpdatingScope;

    std::int16_t m_channelNumber = 0;
    QString m_channelTag;
    QString m_channelTag2;
    IResourceManager* m_resourceManager = nullptr;
    std::unique_ptr<IResourceManager> m_deviceResourceManager;
    QString m_commonResourceFolder;
    QString m_deviceResourceFolder;
    std::uint8_t m_failSafeByte = 0;
    bool m_locked = false;
    bool m_updating = false;

    QGroupBox* fraChannelParameter = nullptr;
    QGroupBox* fraSignal = nullptr;
    QCheckBox* chkChannelA = nullptr;
    QCheckBox* chkChannelB = nullptr;
    QCheckBox* chkInvertedLogic = nullptr;
    QLabel* lblShortCircuitCurrent = nullptr;
    QComboBox* cboShortCircuitCurrent = nullptr;
    QGroupBox* fraMonitoring = nullptr;
    QLabel* lblShortDetection = nullptr;
    QCheckBox* chkShortDetection = nullptr;
    QLabel* lblOpenLineDetection = nullptr;
    QCheckBox* chkOpenLineDetection = nullptr;
    QLabel* lblFailsafeValue = nullptr;
    QComboBox* cboFailsafeValue = nullptr;
    QLabel* Picture1 = nullptr;
};

} // namespace rq16
