#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "heading/compass_state.h"
#include "heading/epoch_pairing.h"
#include "heading/local_clock.h"
#include "heading/main_window_text.h"
#include "heading/rate_of_turn.h"
#include "heading/text_output.h"

namespace bivane {

// How a heading cycle ended.
enum class CycleOutcome {
    NotReady,  // a receiver has not delivered a fix yet
    Waiting,   // the partner fix of the new epoch is still on its way
    Heading,   // a heading was computed
    NoFix,     // same epoch, but a receiver has no fix
    Stale,     // the fixes are 1.5 s or more apart
    Unpaired,  // the receivers' fixes have not paired for over 3 s: the time
               // tolerance is below their time difference
    Failed,    // a step failed; the error line says which
};

// What one cycle found, for observers such as the replay tool's table.
struct CycleReport {
    CycleOutcome outcome = CycleOutcome::NotReady;
    double timeDiffSeconds = 0;   // GPS 1 minus GPS 2
    std::int64_t instantMs = 0;   // the heading's instant, ms since midnight UTC
    float heading = 0;            // degrees, when outcome is Heading
    double observedBaseline = 0;  // metres, when outcome is Heading
    bool checksPassed = false;    // every consistency check passed
    bool headingValid = false;    // a heading whose baseline check passed
};

// The heading cycle: run once for every decoded GGA sentence. It finds the
// other receiver's fix of the same instant, computes the heading from the
// two positions, sends the chosen heading sentences to port 3 (when heading
// output is on), to the log (when logging is on) and to every further output
// added (the network's), shows the heading, the
// observed baseline and its check against the calculated one, and refreshes
// the fix panels. A failing output does not stop the display: the error line
// says what was not sent or logged. Any other failing step ends the cycle and
// writes the error line.
class HeadingCycle {
  public:
    HeadingCycle(CompassState& state, MainWindowText& window, TextOutput& headingPort,
                 TextOutput& logFile, const LocalClock& clock, char decimalSeparator);

    // `receiver`: whose fix GpsFix(receiver) has just been decoded (1 or 2).
    void MainLoop(int receiver);

    // A further output that gets every sentence text port 3 gets, in the
    // same cycle, whether heading output on port 3 is on or not. Its write
    // must hand the text on without waiting; a failure goes on the error
    // line like port 3's. The output must outlive the cycle.
    void addOutput(TextOutput& output) { m_outputs.push_back(&output); }

    // How the latest cycle ended.
    CycleOutcome lastOutcome() const { return m_lastOutcome; }
    // Called at the end of every cycle with what it found.
    void setObserver(std::function<void(const CycleReport&)> observer) {
        m_observer = std::move(observer);
    }

  private:
    CycleReport runCycle(int receiver);
    void computeHeading(const FixPair& pair, CycleReport& report);
    // True when the baseline check passes (or there is no calculated baseline).
    bool showBaselineCheck(double observed);
    // Without a heading: "OLD", a THS that says not valid, the panels.
    void showNoHeading(const GgaRecord& gps1, const GgaRecord& gps2, double timeDiffSeconds);
    // Sends the chosen sentences of this cycle; `heading` empty for a cycle
    // without one, `instantMs` the heading's instant. Returns the first
    // sentence, for the window.
    std::string sendSentences(std::optional<float> heading, bool valid,
                              std::int64_t instantMs = 0);
    void noteOutputFailure(const IoResult& result, const char* consequence);

    CompassState& m_state;
    MainWindowText& m_window;
    TextOutput& m_headingPort;
    TextOutput& m_logFile;
    const LocalClock& m_clock;
    char m_separator;
    std::function<void(const CycleReport&)> m_observer;
    std::vector<TextOutput*> m_outputs;
    EpochPairing m_pairing;
    RateOfTurn m_rateOfTurn;
    CycleOutcome m_lastOutcome = CycleOutcome::NotReady;
    // The newest fix time since which the receivers have been too far apart
    // to pair, and whether the error line has said so.
    std::optional<std::int64_t> m_unpairedSinceMs;
    bool m_unpairedShown = false;
    std::string m_sentences;      // reused between cycles
    std::string m_outputFailure;  // what this cycle could not send or log
};

}  // namespace bivane
