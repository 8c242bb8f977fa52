#pragma once

#include <array>
#include <functional>

#include "heading/compass_state.h"
#include "heading/heading_cycle.h"
#include "heading/local_clock.h"
#include "heading/main_window_text.h"
#include "heading/text_output.h"
#include "nmea/message_sink.h"
#include "reception/port_text_output.h"
#include "reception/reception.h"
#include "reception/serial_port.h"

namespace bivane {

// The heading engine, whatever shows it: the compass state, reception on the
// two receivers' ports, the heading cycle, its outputs (the heading output
// port and the log) and the main-window text model they write. The owner hands in the
// ports, the clock, the log and the sink of the decoder's messages, and
// learns after every port event that the text model may have changed.
//
// It takes the ports' event handlers: a port's event runs reception (ports
// 1 and 2) and then the owner's text-changed handler.
class HeadingEngine {
  public:
    struct Parts {
        // [0] GPS 1, [1] GPS 2, [2] the heading output.
        std::array<SerialPort*, 3> ports{};
        TextOutput* logFile = nullptr;
        MessageSink* decoderMessages = nullptr;
        const LocalClock* clock = nullptr;
        char decimalSeparator = '.';
    };

    // The ports must outlive the engine, or be quiet once it is gone.
    explicit HeadingEngine(const Parts& parts);
    HeadingEngine(const HeadingEngine&) = delete;
    HeadingEngine& operator=(const HeadingEngine&) = delete;

    // Called after every port event and every change the engine makes on
    // its own: the text model may differ from what was last shown.
    void setTextChanged(std::function<void()> handler) { m_textChanged = std::move(handler); }

    // Port `index` (1 to 3) lost its device and has closed itself: the error
    // line says so; the other ports go on.
    void portLost(int index);
    // Port `index` has its device again and is open: the error line says so.
    void portBack(int index);

    // The latest fix waits for the other receiver's fix of its instant,
    // which is on its way: its heading is about to come.
    bool awaitingPartner() const { return m_cycle.lastOutcome() == CycleOutcome::Waiting; }
    // The last cycle put a heading out.
    bool headingJustSent() const { return m_cycle.lastOutcome() == CycleOutcome::Heading; }

    // A further output of the heading sentences (a network server, say):
    // it gets every sentence text port 3 gets, in the same cycle, and must
    // hand it on without waiting. It must outlive the engine.
    void addOutput(TextOutput& output) { m_cycle.addOutput(output); }

    // Sees everything ports 1 and 2 bring, before it is handled (nullptr:
    // nothing). It must outlive the engine or be taken away first.
    void setInputTap(InputTap* tap) { m_reception.setInputTap(tap); }

    SerialPort& port(int index) const;
    CompassState& state() { return m_state; }
    const CompassState& state() const { return m_state; }
    MainWindowText& text() { return m_text; }
    const MainWindowText& text() const { return m_text; }
    HeadingCycle& cycle() { return m_cycle; }
    const Reception& reception() const { return m_reception; }

  private:
    void portEvent(int index);
    void textChanged() const;

    CompassState m_state;
    MainWindowText m_text;
    std::array<SerialPort*, 3> m_ports;
    const LocalClock& m_clock;
    PortTextOutput m_headingOutput;
    HeadingCycle m_cycle;
    Reception m_reception;
    std::function<void()> m_textChanged;
};

}  // namespace bivane
