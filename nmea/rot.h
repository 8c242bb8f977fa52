#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace bivane {

// The ROT sentence (rate of turn), without line ending: "$" + talker +
// "ROT," + degrees per minute with one decimal (negative when the bow turns
// to port) + ",A*" + checksum; with no rate, "$" + talker + "ROT,,V*" +
// checksum, which tells the listener that no rate can be trusted now.
std::string BuildRotSentence(std::string_view talker, std::optional<double> degreesPerMinute);

}  // namespace bivane
