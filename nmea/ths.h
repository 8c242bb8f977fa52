#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace bivane {

// The THS sentence (true heading and status), without line ending: "$" +
// talker + "THS," + heading with one decimal + ",A*" + checksum for a valid
// heading; with no heading, "$" + talker + "THS,,V*" + checksum, which tells
// the listener that no heading can be trusted now. Heading in degrees true.
std::string BuildThsSentence(std::string_view talker, std::optional<float> heading);

}  // namespace bivane
