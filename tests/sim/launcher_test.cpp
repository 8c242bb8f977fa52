#include "tools/sim/launcher.h"

#include "tests/sim/sim_process.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace bivane::sim {
namespace {
namespace fs = std::filesystem;

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

TEST(PrepareProgramFolder, WritesTheSettingsFileAndTheSentencesOfThePerUserSettings) {
    const test::TemporaryFolder temporary;
    const fs::path folder = fs::path(temporary.path()) / "run" / "one";
    SimOptions options;
    options.sentences = {"THS", "HDT"};
    options.baselineLimit = 0.75;
    EXPECT_EQ(PrepareProgramFolder(folder, options), folder.string());
    EXPECT_EQ(test::ReadFile(folder / "Bivane.ini"),
              "1,\"4800,n,8,1\"\r\n2,\"4800,n,8,1\"\r\n3,\"4800,n,8,1\"\r\n0,0\r\n0,2\r\n"
              "#TRUE#\r\n");
    EXPECT_EQ(test::ReadFile(folder / "config" / "NMEA Bivane.ini"),
              "[Output]\nSentences=\"THS,HDT\"\nBaselineLimit=0.75\n");
}

TEST(UserSettingsText, ReplacesTheSentencesAndKeepsEverythingElse) {
    const SimOptions plain;
    SimOptions limited;
    limited.baselineLimit = 2.5;
    struct Row {
        const char* legend;
        const char* existing;
        const SimOptions& options;
        const char* expected;
    };
    const Row rows[] = {
        {"no file yet", "", plain, "[Output]\nSentences=\"HDT\"\n"},
        {"other sections stay", "[Settings]\nMainLeft=10\n", plain,
         "[Settings]\nMainLeft=10\n\n[Output]\nSentences=\"HDT\"\n"},
        {"the stored choice goes, the stored limit stays",
         "[Output]\nBaselineLimit=1\nSentences=\"THS\"\n[Ports]\nCOM1=/dev/x\n", plain,
         "[Output]\nSentences=\"HDT\"\nBaselineLimit=1\n[Ports]\nCOM1=/dev/x\n"},
        {"a limit given replaces the stored one",
         "[Ports]\nBaselineLimit=9\n[Output]\nBaselineLimit=1\n", limited,
         "[Ports]\nBaselineLimit=9\n[Output]\nSentences=\"HDT\"\nBaselineLimit=2.5\n"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(UserSettingsText(row.existing, row.options), row.expected) << row.legend;
    }
}

TEST(PrepareProgramFolder, MakesAFreshFolderUnderTmpdirAndRefusesTheUsersOwn) {
    const test::TemporaryFolder temporary;
    const fs::path root(temporary.path());
    const char* oldTmp = getenv("TMPDIR");
    const std::string savedTmp = oldTmp != nullptr ? oldTmp : "";
    const std::string savedHome = getenv("HOME") != nullptr ? getenv("HOME") : "";
    setenv("TMPDIR", root.c_str(), 1);
    setenv("HOME", root.c_str(), 1);
    const std::string first = PrepareProgramFolder("", SimOptions{});
    const std::string second = PrepareProgramFolder("", SimOptions{});
    EXPECT_NE(first, second);
    EXPECT_EQ(fs::path(first).parent_path(), root);
    EXPECT_TRUE(fs::exists(fs::path(second) / "Bivane.ini"));
    const fs::path own = root / "Helmwork" / "NMEA_Bivane";
    EXPECT_THROW(PrepareProgramFolder(own, SimOptions{}), std::runtime_error);
    EXPECT_THROW(
        PrepareProgramFolder((root / "Helmwork" / "." / "NMEA_Bivane/").string(), SimOptions{}),
        std::runtime_error);
    EXPECT_FALSE(fs::exists(own / "Bivane.ini"));
    if (oldTmp != nullptr) {
        setenv("TMPDIR", savedTmp.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
    setenv("HOME", savedHome.c_str(), 1);
}

TEST(ProgramArguments, FolderThenTheThreePortsThenTheRest) {
    EXPECT_EQ(ProgramArguments("/tmp/f", {"/dev/pts/1", "/dev/pts/2", "/dev/pts/3"}, {"-x"}),
              (std::vector<std::string>{"--program-folder", "/tmp/f", "--com", "1=/dev/pts/1",
                                        "--com", "2=/dev/pts/2", "--com", "3=/dev/pts/3", "-x"}));
}

}  // namespace
}  // namespace bivane::sim
