#pragma once
// What a channel element of the Simulation view shows for its state: the
// master box, the channel box and the diode. Plain C++.

namespace rq16 {

struct ChannelSimulationDisplay {
    bool masterValue = false;  ///< txtMasterValue shows "1"
    bool channelValue = false; ///< txtChannelValue shows "1"
    bool diodeOn = false;

    bool operator==(const ChannelSimulationDisplay&) const = default;
};

/// A forced output keeps the master value read from the module and shows the
/// force value (after inversion) in the channel box and the diode; a forced
/// input shows the force value in the master box. An input's diode follows
/// the master value read, an output's the channel box.
inline ChannelSimulationDisplay SimulationDisplay(bool isInput, bool forced, bool isInverted,
                                                  bool currentValue, bool forceValue) {
    ChannelSimulationDisplay display;
    display.masterValue = isInput && forced ? forceValue : currentValue;
    display.channelValue = isInverted != (!isInput && forced ? forceValue : currentValue);
    display.diodeOn = isInput ? currentValue : display.channelValue;
    return display;
}

} // namespace rq16
