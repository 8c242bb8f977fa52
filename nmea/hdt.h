#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace bivane {

// Whether an outgoing sentence ends in "*" and its checksum.
enum class ChecksumField : bool { Appended, Omitted };

// The HDT sentence (heading, true) for a heading in degrees, without line
// ending: "$" + talker + "HDT," + heading + ",T" and, unless the checksum
// field is omitted, "*" + checksum. The heading is written with at least three integer digits
// and `decimals` decimals (0, 2 or 3; any other count gives 1), rounded and
// neither range-checked nor wrapped: 359.96 with 1 decimal is "360.0".
std::string BuildHdtSentence(std::string_view talker, float heading, std::int16_t decimals,
                             ChecksumField checksum = ChecksumField::Appended);

// The start of an outgoing sentence: "$", the talker (two characters, padded
// with blanks), the sentence formatter and ",": "$GPHDT,".
std::string SentenceAddress(std::string_view talker, std::string_view formatter);

// A sentence of one value and its status: "$" + talker + formatter + "," +
// value + ",A*" + checksum when there is a value; "$" + talker + formatter +
// ",,V*" + checksum when there is none (not valid).
std::string BuildValueStatusSentence(std::string_view talker, std::string_view formatter,
                                     const std::optional<std::string>& value);

// The NMEA checksum of a sentence: the exclusive-or of the characters after
// the first one up to the first "*" (or the end), as two upper-case hex
// digits. "XX" when there is nothing to sum.
std::string NmeaChecksum(std::string_view sentence);

// True when `line` carries "*" followed by two hex digits (either case) that
// equal the checksum of what stands before them.
bool NmeaChecksumMatches(std::string_view line);

// A number for a sentence: the pattern's digits with "." as decimal point, or
// the empty text for MissingValue.
std::string NmeaNumberText(double value, std::string_view pattern);
std::string NmeaNumberText(float value, std::string_view pattern);

}  // namespace bivane
