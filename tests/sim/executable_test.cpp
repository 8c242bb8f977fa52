// The command line, the program to launch, and one short run of the
// simulator executable itself.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/sim/sim_process.h"
#include "tools/sim/launcher.h"
#include "tools/sim/options.h"

namespace bivane::sim {
namespace {
namespace fs = std::filesystem;

TEST(SimOptions, ReadsWhatItCanUseAndRefusesTheRestWithOneLineNamingIt) {
    const ParsedOptions parsed = ParseOptions(std::vector<std::string>{
        "--bad-field", "--rate=10", "--sentences", "ths,Rot", "--listen-tcp", "[::1]:10110",
        "--order", "21", "--launch", "--", "--rate", "a"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    const SimOptions& o = *parsed.options;
    EXPECT_EQ(o.badFieldRate, 0.1) << "alone: the default rate";
    EXPECT_EQ(o.rate, 10);
    EXPECT_EQ(o.sentences, (std::vector<std::string>{"THS", "ROT"}));
    EXPECT_EQ(o.listenTcpHost, "::1");
    EXPECT_EQ(o.listenTcpPort, 10110);
    EXPECT_EQ(o.firstReceiver, 2);
    EXPECT_EQ(o.programArguments, (std::vector<std::string>{"--rate", "a"}));
    EXPECT_EQ(o.quality, 4) << "what is not given keeps its default";

    struct Row {
        std::vector<std::string> arguments;
        const char* named;
    };
    const Row refused[] = {
        {{"--rate", "0"}, "--rate"},
        {{"--order", "3"}, "--order"},
        {{"--sentences", "HDT,HDT"}, "--sentences"},
        {{"--listen-tcp", ":10110"}, "--listen-tcp"},
        {{"--listen-tcp", "localhost:1", "--listen-udp", "2"}, "--listen-udp"},
        {{"--float-until", "5"}, "--float-until"},
        {{"--launch", "--wait-for", "12"}, "--wait-for"},
        {{"--", "x"}, "--launch"},
    };
    for (const Row& row : refused) {
        const ParsedOptions result = ParseOptions(row.arguments);
        EXPECT_FALSE(result.options) << row.arguments[0];
        EXPECT_NE(result.error.find(row.named), std::string::npos) << result.error;
        EXPECT_EQ(result.error.find('\n'), std::string::npos) << result.error;
    }
}

void makeExecutable(const fs::path& path) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "#!/bin/sh\n";
    fs::permissions(path, fs::perms::owner_all);
}

TEST(FindProgram, ExplicitThenBesideThenBuildTreeThenPath) {
    const test::TemporaryFolder temporary;
    const fs::path root(temporary.path());
    const fs::path build = root / "build";
    const fs::path self = build / "tools" / "sim" / "nmea-bivane-sim";
    const fs::path inBuild = build / "app" / "nmea-bivane";
    const fs::path beside = build / "tools" / "sim" / "nmea-bivane";
    const fs::path onPath = root / "bin" / "nmea-bivane";
    const fs::path explicitPath = root / "elsewhere" / "program";
    const std::string path = "/nonexistent:" + (root / "bin").string();

    EXPECT_EQ(FindProgram("", self, path), "") << "nothing there yet";
    makeExecutable(onPath);
    EXPECT_EQ(FindProgram("", self, path), onPath.string());
    makeExecutable(inBuild);
    EXPECT_EQ(FindProgram("", self, path), inBuild.string());
    makeExecutable(beside);
    EXPECT_EQ(FindProgram("", self, path), beside.string());
    EXPECT_EQ(FindProgram(explicitPath, self, path), "") << "an explicit path is not searched";
    makeExecutable(explicitPath);
    EXPECT_EQ(FindProgram(explicitPath, self, path), explicitPath.string());
    fs::permissions(onPath, fs::perms::owner_read);
    EXPECT_EQ(FindProgram("", "", path), "") << "not executable";
    // A name is looked for as the default is: the service in its build folder.
    const fs::path service = build / "service" / "nmea-bivaned";
    makeExecutable(service);
    EXPECT_EQ(FindProgram("nmea-bivaned", self, path), service.string());
}

TEST(SimExecutable, RunsItsDurationAndReportsEveryKey) {
    // Nobody reads the receivers or answers: every epoch lacks its sentences.
    const test::TemporaryFolder folder;
    const std::string reportPath = folder.path() + "/report.json";
    const test::Finished run = test::RunToEnd(
        {"--rate", "5", "--duration", "1", "--sentences", "HDT,THS", "--report", reportPath});
    ASSERT_EQ(run.status, 0) << run.standardError;
    const std::string report = test::ReadFile(reportPath);
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 1) << report;
    std::istringstream keys(
        "epochs hdt_received hdt_invalid heading_error_deg latency_ms hdt_unpaired hdt_paired "
        "epochs_faulted epochs_lost hdt_missing_clean sentences_dropped sentences_garbled "
        "sentences_bad_field sentences_abandoned ths_valid ths_invalid sentences_mispaired "
        "sentences_per_epoch_max rot_valid rot_invalid rot_error_deg_per_min port3_latency_ms");
    for (std::string key; keys >> key;) {
        EXPECT_NE(report.find("\"" + key + "\": "), std::string::npos) << key;
    }
    EXPECT_EQ(test::ReportValue(report, "epochs"), 5) << report;
    EXPECT_EQ(test::ReportValue(report, "hdt_missing_clean"), 5) << report;
    EXPECT_EQ(test::ReportValue(report, "hdt_received"), 0) << report;
    EXPECT_TRUE(std::isnan(test::ReportValue(report, "latency_ms.p99"))) << "null: " << report;
}

}  // namespace
}  // namespace bivane::sim
