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

}  // namespace
}  // namespace bivane::sim
