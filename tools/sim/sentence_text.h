#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace bivane::sim {

// A whole NMEA line from its text "$" + address + fields (no "*"): appends
// "*", the checksum and CR LF.
std::string FinishSentence(std::string_view body);

// The pieces of a text between its commas ("a,,b" gives "a", "", "b").
std::vector<std::string_view> SplitAtCommas(std::string_view text);

// The comma-separated fields of a line between "$" and "*" (or the line end);
// entry 0 is the address ("GPGGA").
std::vector<std::string> SentenceFields(std::string_view line);

// The line with field `index` (0 = address) replaced by `value`, checksum
// renewed.
std::string ReplaceField(std::string_view line, std::size_t index, std::string_view value);

}  // namespace bivane::sim
