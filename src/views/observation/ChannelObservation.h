#pragma once
// The channel element of the Observation view: one output channel's master
// value, terminal value (after polarity inversion), a diode that lights with
// the terminal value, and a state picture (valid, invalid, forced). It does no
// communication; everything it shows comes through its properties and
// SetCurrentValue.
//
// The Simulation view's element is this element with force controls added: it
// derives from it, places its extra controls in the frame (frame(), taller
// size), adds captions in LoadTexts, takes the forced flag from its own check
// box (ForcedFlag) and shows forced values in RefreshDisplay.

#include "host/ResourceManager.h"

#include <QColor>
#include <QWidget>

#include <vector>

#include <cstdint>
#include <memory>

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace rq16 {

/// A filled circle: the channel's diode.
class DiodeShape : public QWidget {
    Q_OBJECT
public:
    explicit DiodeShape(QWidget* parent = nullptr);
    QColor fillColor() const { return m_fill; }
    /// Repaints only when the colour changes.
    void setFillColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_fill{255, 255, 0};
};

class ChannelObservation : public QWidget {
    Q_OBJECT
public:
    // State pictures.
    static constexpr std::int32_t kPictureStatus = 150;
    static constexpr std::int32_t kPictureInvalid = 152;
    static constexpr std::int32_t kPictureForced = 153;
    static constexpr std::int32_t kPictureInvalidForced = 155;
    /// Valid and unforced without status; the only one from the common folder.
    static constexpr std::int32_t kPictureValid = 1000;
    // Diode fill colours.
    static constexpr QRgb kDiodeOn = 0xFFFFFF00;  // RGB(255, 255, 0)
    static constexpr QRgb kDiodeOff = 0xFF808080; // RGB(128, 128, 128)

    /// The state picture for a value's flags: its id, and whether it is loaded
    /// with the common folder (otherwise with an empty folder argument).
    struct StatePicture {
        std::int32_t id = 0;
        bool commonFolder = false;
        friend bool operator==(const StatePicture&, const StatePicture&) = default;
    };
    static StatePicture StatePictureFor(bool invalid, bool forced, bool hasStatus);

    explicit ChannelObservation(QWidget* parent = nullptr);
    ~ChannelObservation() override;

    ChannelObservation(const ChannelObservation&) = delete;
    ChannelObservation& operator=(const ChannelObservation&) = delete;

    /// Number shown in the frame caption (the view sets index + 1).
    std::int16_t ChannelNumber() const { return m_channelNumber; }
    void SetChannelNumber(std::int16_t value);
    const QString& ChannelTag() const { return m_channelTag; }
    void SetChannelTag(const QString& value);

    /// Manager of the common texts and pictures; not owned. Setting it creates
    /// the device resource manager with the same configuration and loads the
    /// texts.
    IResourceManager* ResourceManager() const { return m_resourceManager; }
    void SetResourceManager(IResourceManager* manager);

    /// Shows a value: state picture, visibility of the terminal value and the
    /// diode (exactly when valid), then the values. A picture that cannot be
    /// loaded leaves the picture empty; its error is passed on after the rest
    /// of the display is updated.
    void SetCurrentValue(bool bCurrentValue, bool isInValid = false, bool isForced = false);

    /// Setting false clears the state picture; true shows nothing new.
    bool HasConnection() const { return m_hasConnection; }
    void SetHasConnection(bool value);

    // Stored only; they take effect at the next SetCurrentValue.
    bool IsInitializing() const { return m_isInitializing; }
    void SetIsInitializing(bool value) { m_isInitializing = value; }
    bool isInput() const { return m_isInput; }
    /// Virtual: the Simulation element also shows or hides its input choice.
    virtual void SetIsInput(bool value) { m_isInput = value; }
    bool isInverted() const { return m_isInverted; }
    void SetIsInverted(bool value) { m_isInverted = value; }
    bool hasStatus() const { return m_hasStatus; }
    void SetHasStatus(bool value) { m_hasStatus = value; }

    // ---- what the element shows ----
    bool currentValue() const { return m_currentValue; }
    bool invalid() const { return m_invalid; }
    bool forced() const { return m_forced; }
    QString masterValueText() const;
    QString channelValueText() const;
    QColor diodeColor() const { return shpDiode->fillColor(); }
    /// The terminal value and the diode are shown (the value is valid).
    bool valueShown() const;
    /// Id of the state picture shown; 0 for none.
    std::int32_t statePictureId() const { return m_statePicture.id; }
    QString frameCaption() const;
    QLabel* statePicture() const { return imgState; }

    QSize sizeHint() const override;

protected:
    // Design layout inside the frame; the Simulation element places its
    // force controls on the same grid below.
    static constexpr int kWidth = 150;
    static constexpr int kHeight = 150;
    static constexpr int kCaptionX = 8;
    static constexpr int kBoxX = 72;
    static constexpr int kBoxWidth = 32;
    static constexpr int kRowHeight = 22;

    /// Captions from the resource managers; subclasses add theirs.
    virtual void LoadTexts();
    /// The forced flag that SetCurrentValue stores and shows.
    virtual bool ForcedFlag(bool isForced) const { return isForced; }
    /// Master value, terminal value and diode from the stored state.
    virtual void RefreshDisplay();

    void SetMasterValueText(bool value);
    void SetChannelValueText(bool value);
    /// On: yellow; off: grey.
    void SetDiode(bool on);
    void BuildFrameCaption();
    /// Text of the common folder through the common resource manager.
    QString CommonText(std::int32_t id) const;
    /// Text of the device folder through the device resource manager.
    QString DeviceText(std::int32_t id) const;
    QGroupBox* frame() const { return fraChannelObservation; }
    void resizeEvent(QResizeEvent* event) override;

    QString sCommonResourcePath;
    QString sDeviceResourcePath;

private:
    void BuildControls();
    void ShowStatePicture(const StatePicture& picture);
    /// Words for the state picture and the diode, read with the captions; a
    /// text the resources lack keeps its English word.
    void LoadStateWords();
    /// Says the state picture and the diode in words to assistive technology,
    /// rebuilding the texts only when what they show has changed.
    void DescribeState();

    struct StateWords {
        QString sentence = QStringLiteral("Channel %1: %2");
        QString valid = QStringLiteral("valid");
        QString invalid = QStringLiteral("invalid");
        QString forced = QStringLiteral("forced");
        QString invalidForced = QStringLiteral("forced, invalid");
        QString noValue = QStringLiteral("no value");
        QString outputOn = QStringLiteral("output on");
        QString outputOff = QStringLiteral("output off");
    };
    /// What the texts for assistive technology were last built from.
    struct DescribedState {
        std::int32_t pictureId = -1;
        bool diodeOn = false;
        bool valueShown = false;
        friend bool operator==(const DescribedState&, const DescribedState&) = default;
    };

    std::int16_t m_channelNumber = 0;
    QString m_channelTag;
    IResourceManager* m_resourceManager = nullptr;
    std::unique_ptr<IResourceManager> m_deviceResourceManager;
    bool m_currentValue = false;
    bool m_invalid = true;
    bool m_forced = false;
    bool m_hasConnection = false;
    bool m_isInitializing = true;
    bool m_isInput = false;
    bool m_isInverted = false;
    bool m_hasStatus = false;
    StatePicture m_statePicture;
    StateWords m_stateWords;
    DescribedState m_described;
    /// The texts DescribeState gave each state seen so far: a cycling
    /// channel goes back and forth between a few of them.
    struct Description {
        DescribedState state;
        QString picture;
        QString diode;
        QString frame;
    };
    std::vector<Description> m_descriptions;
    /// Puts together the texts of a state not seen before and keeps them.
    const Description& Describe(const DescribedState& now);

    QGroupBox* fraChannelObservation = nullptr;
    QLineEdit* txtMasterValue = nullptr;
    QLineEdit* txtChannelValue = nullptr;
    QLabel* lblProcessValue = nullptr;
    QLabel* lblChannelValue = nullptr;
    QLabel* lblValue = nullptr;
    DiodeShape* shpDiode = nullptr;
    QLabel* imgState = nullptr;
    QLabel* lblState = nullptr;
    QFrame* Line1 = nullptr;
    QFrame* Line2 = nullptr;
};

} // namespace rq16
