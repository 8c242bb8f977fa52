#pragma once

#include <functional>
#include <string>

#include "heading/compass_state.h"
#include "heading/local_clock.h"
#include "heading/main_window_text.h"
#include "heading/text_output.h"

namespace bivane {

// How a heading cycle ended.
enum class CycleOutcome {
    NotReady,  // a receiver has not delivered a fix yet
    Waiting,   // the partner fix of the new epoch is still on its way
    Heading,   // a heading was computed
    NoFix,     // same epoch, but a receiver has no fix
    Stale,     // the fixes are 1.5 s or more apart
    Failed,    // a step failed; the error line says which
};

// What one cycle found, for observers such as the replay tool's table.
struct CycleReport {
    CycleOutcome outcome = CycleOutcome::NotReady;
    double timeDiffSeconds = 0;   // GPS 1 minus GPS 2
    float heading = 0;            // degrees, when outcome is Heading
    double observedBaseline = 0;  // metres, when outcome is Heading
    bool checksPassed = false;    // every consistency check passed
};

// The heading cycle: run once for every decoded GGA sentence. It compares the
// two receivers' latest fixes, computes the heading when they belong to the
// same moment, sends the HDT sentence to port 3 (when heading output is on)
// and to the log (when logging is on), shows the heading, the observed
// baseline and its check against the calculated one, and refreshes the fix
// panels. A failing step ends the cycle and writes the error line.
class HeadingCycle {
  public:
    HeadingCycle(CompassState& state, MainWindowText& window, TextOutput& headingPort,
                 TextOutput& logFile, const LocalClock& clock, char decimalSeparator);

    void MainLoop();

    // Called at the end of every cycle with what it found.
    void setObserver(std::function<void(const CycleReport&)> observer) {
        m_observer = std::move(observer);
    }

  private:
    CycleReport runCycle();
    void computeHeading(CycleReport& report);

    CompassState& m_state;
    MainWindowText& m_window;
    TextOutput& m_headingPort;
    TextOutput& m_logFile;
    const LocalClock& m_clock;
    char m_separator;
    std::function<void(const CycleReport&)> m_observer;
    std::string m_sentence;  // reused between cycles
};

}  // namespace bivane
