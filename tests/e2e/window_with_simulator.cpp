#include "tests/e2e/window_with_simulator.h"

#include <unistd.h>

#include <QEventLoop>
#include <algorithm>
#include <QTimer>
#include <stdexcept>

#include "runtime/port_factory.h"
#include "serial/com_port_map.h"
#include "tests/app/window_harness.h"
#include "tests/sim/sim_process.h"
#include "tools/sim/settings_file.h"

namespace bivane::e2e {
namespace {

// Generous: a sanitizer build on a busy machine streams late.
constexpr auto kRunLimit = std::chrono::seconds(120);

std::string offsetsArgument(const sim::AntennaOffsets& o) {
    return std::to_string(o.x[0]) + "," + std::to_string(o.y[0]) + "," + std::to_string(o.x[1]) +
           "," + std::to_string(o.y[1]);
}

Sample sampleOf(const MainWindowText& text) {
    Sample sample;
    sample.at = Clock::now();
    sample.oldVisible = text.lblOld.visible;
    sample.heading = text.lblHeading.text;
    sample.hdt = text.lblHDT.text;
    sample.gga[0] = text.lblGGA[1].text;
    sample.gga[1] = text.lblGGA[2].text;
    return sample;
}

}  // namespace

WindowRun RunWindowWithSimulator(std::vector<std::string> arguments,
                                 const sim::AntennaOffsets& offsets) {
    const sim::test::TemporaryFolder folder;
    const std::string reportPath = folder.path() + "/report.json";
    arguments.insert(arguments.end(), {"--wait-for", std::to_string(getpid()), "--offsets",
                                       offsetsArgument(offsets), "--report", reportPath});
    sim::test::SimProcess simulator(arguments);

    // The port map outlives the window, which the harness owns.
    ComPortMap ports;
    ports.mapForThisRun(1, QString::fromStdString(simulator.gps1()));
    ports.mapForThisRun(2, QString::fromStdString(simulator.gps2()));
    ports.mapForThisRun(3, QString::fromStdString(simulator.heading()));
    test::WindowHarness harness;
    harness.writeFile(QStringLiteral("Bivane.ini"), sim::SettingsFileText(offsets));
    // The sentences the simulator expects are those the window sends.
    const auto sentences = std::find(arguments.begin(), arguments.end(), "--sentences");
    if (sentences != arguments.end() && sentences + 1 != arguments.end()) {
        test::SetUserSetting(QStringLiteral("Output/Sentences"),
                             QString::fromStdString(*(sentences + 1)));
    }
    Frm_Bivane& window = harness.start(QtPortFactory(ports));
    window.show();

    WindowRun run;
    QEventLoop loop;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, &loop, [&] {
        if (simulator.ended()) {
            loop.quit();
            return;
        }
        run.samples.push_back(sampleOf(window.windowText()));
        run.last = window.windowText();
    });
    QTimer::singleShot(kRunLimit, &loop, &QEventLoop::quit);
    sampler.start(kSampleEvery);
    loop.exec();
    sampler.stop();

    run.status = simulator.wait(std::chrono::seconds(5));
    run.report = sim::test::ReadFile(reportPath);
    run.messages = harness.prompts.texts();
    window.close();
    return run;
}

std::vector<Clock::time_point> NewLineTimes(const std::vector<Sample>& samples, int receiver) {
    if (receiver != 1 && receiver != 2) {
        throw std::out_of_range("no receiver " + std::to_string(receiver));
    }
    const auto index = static_cast<std::size_t>(receiver - 1);
    std::vector<Clock::time_point> times;
    std::string previous;
    for (const Sample& sample : samples) {
        if (sample.gga[index] != previous) {
            times.push_back(sample.at);
            previous = sample.gga[index];
        }
    }
    return times;
}

}  // namespace bivane::e2e
