#pragma once
// The Diagnosis view: connects, reads the module diagnosis telegram once,
// shows it and disconnects; the reread button repeats the cycle. It shows a
// header, a row of 16 terminal pictures, the module line and one text block
// per channel (labels bold, syntax errors bold red).

#include "TelegramDecoder.h"

#include "frame/OnlineView.h"

#include <QPixmap>

#include <array>
#include <map>
#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QTextDocument;
class QTextEdit;

namespace rq16 {

class Diagnosis : public OnlineView {
    Q_OBJECT
public:
    static constexpr int kTerminalCount = 16;
    // Picture ids of terminal t: default, channel notice, error.
    static constexpr std::int32_t kPictureDefault = 452;
    static constexpr std::int32_t kPictureNotice = 468;
    static constexpr std::int32_t kPictureError = 484;

    explicit Diagnosis(QWidget* parent = nullptr);
    ~Diagnosis() override;

    /// The diagnosis transaction.
    Q_INVOKABLE void ReadDiag(const QVariant& vArguments = {});

    /// Decodes a telegram into the two boxes and the terminal pictures, then
    /// queues the disconnect. A telegram equal to the one shown changes
    /// nothing on the screen.
    void ParseModuleDiagnosis(const ByteArray& telegram);

    void ClearModuleDiagnosisText();
    void AddModuleDiagnosisText(const QString& line);
    void ClearChannelDiagnosisText();
    void AddChannelDiagnosisText(const QString& line);

    // ---- what the view shows ----
    /// The boxes' texts with CR LF line breaks, as built.
    const QString& moduleDiagnosisText() const { return m_moduleText; }
    const QString& channelDiagnosisText() const { return m_channelText; }
    QLineEdit* moduleDiagnosisBox() const { return txtModuleDiagnosis; }
    QTextEdit* channelDiagnosisBox() const { return txtChannelDiagnosis; }
    QLabel* headerLabel() const { return lblHeader; }
    QLabel* terminalPicture(int terminal) const;
    /// Id of the picture terminal t shows; 0 while it shows a design picture.
    std::int32_t terminalPictureId(int terminal) const;
    bool diagnosisShown() const { return blnDiagnosisShown; }
    const ByteArray& lastTelegram() const { return m_abLastTelegram; }
    const std::array<int, 9>& labelStarts() const { return m_labelStart; }
    const std::array<int, 9>& labelLengths() const { return m_labelLength; }

protected:
    void LoadCaptions() override;
    void LoadPictures() override;
    void FillHeader() override;
    /// The telegram, a negative connect answer, a lost connection.
    void CarryViewStep(const Step& step) override;

private:
    class ResourceTexts;

    void BuildControls();
    /// Sets a terminal's picture with errors ignored; a terminal that shows
    /// it already is left alone.
    void SetTerminalPicture(int terminal, std::int32_t id);
    /// Appends text to the channel box without logging (labels).
    void AppendChannelText(const QString& text);
    /// Shows a decoding's channel text in its final formats (labels bold, or
    /// the syntax error bold and red).
    void ShowChannelText(const diagnosis::DecodedTelegram& decoded);
    /// Empties the channel box and forgets what it held.
    void ClearChannelBox();
    /// Shows m_moduleText in the one-line box.
    void ShowModuleText();
    void DisconnectAfterDecoding();
    /// Says each terminal picture in words to assistive technology: the
    /// terminal, its channel or group, fault or not, and the fault's text.
    void DescribeTerminals();

    struct TerminalWords {
        QString channelTerminal = QStringLiteral("Terminal %1, channel %2: %3");
        QString groupTerminal = QStringLiteral("Terminal %1, channels %2 to %3: %4");
        QString noFault = QStringLiteral("no fault");
        QString notice = QStringLiteral("notice");
        QString fault = QStringLiteral("fault");
    };

    QGroupBox* Frame1 = nullptr;
    QLabel* lblHeader = nullptr;
    std::array<QLabel*, kTerminalCount> picTerminal{};
    std::array<std::int32_t, kTerminalCount> m_terminalPictureIds{};
    /// Text of the entry that set each terminal's picture; empty for none.
    std::array<QString, kTerminalCount> m_terminalFault;
    TerminalWords m_terminalWords;
    /// What each terminal's name says (0 no fault, 1 notice, 2 fault), -1
    /// before it has one.
    std::array<int, kTerminalCount> m_describedKind = MakeUndescribed();
    static constexpr std::array<int, kTerminalCount> MakeUndescribed() {
        std::array<int, kTerminalCount> kinds{};
        kinds.fill(-1);
        return kinds;
    }
    /// Pictures loaded once per view; a reread only switches between them.
    std::map<std::int32_t, QPixmap> m_pictureCache;
    QGroupBox* fraModuleRelatedDiagnosis = nullptr;
    QLineEdit* txtModuleDiagnosis = nullptr;
    QGroupBox* fraChannelRelatedDiagnosis = nullptr;
    QTextEdit* txtChannelDiagnosis = nullptr;

    /// The texts the decoding has looked up so far.
    std::unique_ptr<ResourceTexts> m_texts;
    QString m_moduleText;
    QString m_channelText;
    /// The styles of m_channelText as the box shows them, and whether the
    /// box holds a complete decoding (and nothing else).
    std::vector<diagnosis::StyledRun> m_channelRuns;
    bool m_channelBoxComplete = false;
    const QTextDocument* m_channelDocument = nullptr;
    bool blnDiagnosisShown = false;
    ByteArray m_abLastTelegram;
    std::array<int, 9> m_labelStart{};
    std::array<int, 9> m_labelLength{};
};

} // namespace rq16
