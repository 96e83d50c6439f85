#pragma once
// A panel to switch the simulated module's faults while views are open:
// per channel a list of fault codes, the module code, defects of the
// diagnosis telegram, I&M support, and the faults of the connection; and
// the forcing the module holds, as the views have set it.

#include "TranslatedTexts.h"

#include <QWidget>

#include <array>
#include <functional>

namespace rq16::simulator {
class SimulatedModule;
}
namespace rq16::standins {
class SimulatedCommunication;
}

class QLabel;
class QPlainTextEdit;

namespace rq16::frameapp {

class SimulatorPanel : public QWidget {
    Q_OBJECT
public:
    SimulatorPanel(simulator::SimulatedModule& module,
                   standins::SimulatedCommunication& communication, QWidget* parent = nullptr);

protected:
    void changeEvent(QEvent* event) override;

private:
    /// A form label whose text follows the language.
    QLabel* Label(std::function<QString()> text);
    QWidget* BuildDiagnosisBox();
    QWidget* BuildConnectionBox();
    QWidget* BuildForcingBox();
    /// Shows the module's force mask, force values and time until forcing
    /// lapses.
    void RefreshForcing();

    simulator::SimulatedModule& m_module;
    standins::SimulatedCommunication& m_communication;
    QPlainTextEdit* m_traffic = nullptr;
    QLabel* m_forcingState = nullptr;
    std::array<QLabel*, 8> m_forcedChannels{};
    TranslatedTexts m_texts;
};

} // namespace rq16::frameapp
