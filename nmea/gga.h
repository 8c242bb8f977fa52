#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "nmea/message_sink.h"

namespace bivane {

// The value an empty numeric GGA field decodes to.
inline constexpr double MissingValue = -9999;

// The decoded fields of one GGA sentence: one receiver's latest fix. A record
// is never cleared; each field keeps its value until a later sentence
// overwrites it.
struct GgaRecord {
    std::string Talker;   // never filled
    std::string UtcTime;  // "hh:mm:ss" plus the field's decimals, e.g. "12:35:19.00"
    // UtcTime as milliseconds since midnight; nothing when it is no valid
    // time of day.
    std::optional<std::int64_t> TimeOfDayMs;
    double Latitude = 0;       // radians, north positive
    double Longitude = 0;      // radians, east positive
    std::int16_t Quality = 0;  // GPS quality indicator, 0 = no fix
    std::int16_t Satellites = 0;
    float Hdop = 0;
    float Altitude = 0;  // metres above mean sea level
    char AltitudeUnit = ' ';
    float GeoidSeparation = 0;  // metres
    char SeparationUnit = ' ';
    float DgpsAge = 0;           // seconds since the last differential correction
    std::int32_t StationId = 0;  // differential reference station
};

// What can fail while one field of a GGA sentence is stored. The value is the
// code shown in the decoder's message.
enum class GgaFieldFailure : int {
    IntegerOutOfRange = 1,  // a count or identifier beyond its integer type
    SingleOutOfRange = 2,   // a measurement beyond the single-precision range
    NumberOverflow = 3,     // a position whose number overflows
};

// Title of the decoder's field-failure message.
inline constexpr std::string_view kExtractGgaTitle = "Error ExtractGGA";

// Decodes one GGA sentence (the whole line as received, line ending
// included) into `record`, field by field. The checksum, the "$" and the
// talker are not examined; fields that are missing decode to 0, MissingValue
// or a blank. A field whose value cannot be stored keeps its old value, is
// reported to `messages` ("Error ExtractGGA") and decoding goes on with the
// next field.
void ExtractGGA(std::string_view sentence, GgaRecord& record, MessageSink& messages);

// Whether a received line is a GGA sentence: its characters 4 to 6 are "GGA"
// (case-sensitive); the "$" and the talker before them are not examined.
inline bool IsGgaSentence(std::string_view line) {
    return line.size() >= 6 && line.substr(3, 3) == "GGA";
}

// Latitude in radians from the NMEA form ddmm.mmmm and its hemisphere; only
// the exact text "S" is south. Infinite when the number overflows.
double LatitudeFromNmea(std::string_view latitude, std::string_view hemisphere);

// Longitude in radians from the NMEA form dddmm.mmmm and its hemisphere; only
// the exact text "W" is west. Infinite when the number overflows.
double LongitudeFromNmea(std::string_view longitude, std::string_view hemisphere);

// The leading number of a field, or MissingValue when the field is empty.
double NumberOrMissing(std::string_view field);

}  // namespace bivane
