#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "heading/compass_state.h"
#include "heading/heading_cycle.h"
#include "heading/local_clock.h"
#include "heading/main_window_text.h"
#include "nmea/message_sink.h"
#include "reception/input_tap.h"
#include "reception/serial_port.h"

namespace bivane {

// Characters a port may hold without a line feed before they are dropped:
// a wrong speed or a stuck line never costs more than this.
inline constexpr std::size_t kMaxBufferedCharacters = 4096;

// Reception on the two input ports: cuts the arriving characters into lines,
// picks out the GGA sentences (whatever the talker), shows each in lblGGA,
// decodes it into that receiver's fix and runs the heading cycle.
class Reception {
  public:
    Reception(SerialPort& gps1, SerialPort& gps2, CompassState& state, MainWindowText& window,
              HeadingCycle& cycle, MessageSink& decoderMessages, const LocalClock& clock);

    // The port event of port `index` (1 = GPS 1, 2 = GPS 2, 3 = heading
    // output, whose events are ignored).
    void MSComm1_OnComm(int index);

    // Sees every event of ports 1 and 2 before it is handled (nullptr: none).
    void setInputTap(InputTap* tap) { m_tap = tap; }

    // The characters of port `index` (1 or 2) not yet taken out as a line.
    const std::string& ReceiveBuffer(int index) const;
    // Drops the characters of port `index` not yet taken out as a line (its
    // device was lost mid-line); no effect on port 3.
    void discardPartialLine(int index);

  private:
    void takeLines(int index, std::string& buffer);
    void handleLine(int index, std::string_view line);

    std::array<SerialPort*, 2> m_ports;
    CompassState& m_state;
    MainWindowText& m_window;
    HeadingCycle& m_cycle;
    MessageSink& m_decoderMessages;
    const LocalClock& m_clock;
    std::array<std::string, 2> m_receiveBuffer;
    InputTap* m_tap = nullptr;
};

}  // namespace bivane
