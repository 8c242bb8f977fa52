#include "nmea/gga.h"

#include <array>
#include <cmath>
#include <optional>
#include <string>

#include "nmea/angle_constants.h"
#include "nmea/integer_conversion.h"
#include "nmea/number_format.h"
#include "nmea/number_reader.h"
#include "nmea/utc_time.h"

namespace bivane {
namespace {

constexpr std::size_t kFieldCount = 15;
using Fields = std::array<std::string_view, kFieldCount>;

// Entry 0 is the address field, entries 1 to 14 the data fields. The last
// field found runs to the "*" (or to the end of the line when there is none),
// so with more than 14 commas the last entry holds the surplus commas too.
Fields splitSentence(std::string_view sentence) {
    Fields fields{};
    std::size_t n = 0;
    const char* const text = sentence.data();
    std::size_t start = 0;
    // One pass over the characters: the fields are short, and a search call
    // per field would cost more than it finds.
    for (std::size_t i = 0; i < sentence.size() && n < 14; ++i) {
        if (text[i] == ',') {
            fields[n++] = std::string_view(text + start, i - start);
            start = i + 1;
        }
    }
    const std::string_view rest(text + start, sentence.size() - start);
    fields[n] = rest.substr(0, rest.find('*'));
    return fields;
}

double fromNmea(std::string_view text, std::size_t degreeDigits, std::string_view hemisphere,
                std::string_view negativeHemisphere) {
    const double degrees = ReadLeadingNumber(text.substr(0, degreeDigits));
    const double minutes =
        text.size() > degreeDigits ? ReadLeadingNumber(text.substr(degreeDigits)) : 0.0;
    double value = degrees + minutes / 60;
    if (hemisphere == negativeHemisphere) {
        value = -value;
    }
    return value * kDegToRad;
}

char firstCharacter(std::string_view field) {
    return field.empty() ? ' ' : field.front();
}

// Reports one failed field. The field text is shortened in the description;
// the whole sentence follows it in the message anyway.
class FieldReporter {
  public:
    FieldReporter(std::string_view sentence, MessageSink& messages)
        : m_sentence(sentence), m_messages(messages) {}

    void report(GgaFieldFailure failure, std::string_view fieldName, std::string_view field,
                std::string_view problem) {
        constexpr std::size_t kShown = 32;
        std::string shown(field.substr(0, kShown));
        if (field.size() > kShown) {
            shown += "...";
        }
        std::string text = "Error ";
        text += SignedNumberText(static_cast<int>(failure));
        text += " : ";
        text += fieldName;
        text += " value \"";
        text += shown;
        text += "\" ";
        text += problem;
        text += "  GGA-message : ";
        text += m_sentence;
        m_messages.showMessage(kExtractGgaTitle, text);
    }

    template <typename Integer>
    void storeInteger(Integer& target, std::string_view fieldName, std::string_view field,
                      std::string_view rangeText) {
        if (auto value = RoundToInteger<Integer>(NumberOrMissing(field))) {
            target = *value;
        } else {
            report(GgaFieldFailure::IntegerOutOfRange, fieldName, field, rangeText);
        }
    }

    void storeSingle(float& target, std::string_view fieldName, std::string_view field) {
        if (auto value = ToSingle(NumberOrMissing(field))) {
            target = *value;
        } else {
            report(GgaFieldFailure::SingleOutOfRange, fieldName, field,
                   "is beyond the single-precision number range");
        }
    }

    void storePosition(double& target, double value, std::string_view fieldName,
                       std::string_view field) {
        if (std::isfinite(value)) {
            target = value;
        } else {
            report(GgaFieldFailure::NumberOverflow, fieldName, field, "overflows the number range");
        }
    }

  private:
    std::string_view m_sentence;
    MessageSink& m_messages;
};

void storeUtcTime(std::string& target, std::string_view field) {
    // "123519.00" becomes "12:35:19.00"; missing characters give empty pieces.
    target.clear();
    target.append(field.substr(0, 2));
    target.push_back(':');
    if (field.size() > 2) {
        target.append(field.substr(2, 2));
    }
    target.push_back(':');
    if (field.size() > 4) {
        target.append(field.substr(4));
    }
}

}  // namespace

double NumberOrMissing(std::string_view field) {
    return field.empty() ? MissingValue : ReadLeadingNumber(field);
}

double LatitudeFromNmea(std::string_view latitude, std::string_view hemisphere) {
    return fromNmea(latitude, 2, hemisphere, "S");
}

double LongitudeFromNmea(std::string_view longitude, std::string_view hemisphere) {
    return fromNmea(longitude, 3, hemisphere, "W");
}

void ExtractGGA(std::string_view sentence, GgaRecord& record, MessageSink& messages) {
    const Fields f = splitSentence(sentence);
    FieldReporter fields(sentence, messages);
    constexpr std::string_view kInt16Range = "is outside the range -32768 to 32767";
    constexpr std::string_view kInt32Range = "is outside the range -2147483648 to 2147483647";

    storeUtcTime(record.UtcTime, f[1]);
    record.TimeOfDayMs = TimeOfDayFromNmea(f[1]);
    fields.storePosition(record.Latitude, LatitudeFromNmea(f[2], f[3]), "Latitude", f[2]);
    fields.storePosition(record.Longitude, LongitudeFromNmea(f[4], f[5]), "Longitude", f[4]);
    fields.storeInteger(record.Quality, "Quality", f[6], kInt16Range);
    fields.storeInteger(record.Satellites, "Satellites", f[7], kInt16Range);
    fields.storeSingle(record.Hdop, "HDOP", f[8]);
    fields.storeSingle(record.Altitude, "Altitude", f[9]);
    record.AltitudeUnit = firstCharacter(f[10]);
    fields.storeSingle(record.GeoidSeparation, "Geoid separation", f[11]);
    record.SeparationUnit = firstCharacter(f[12]);
    fields.storeSingle(record.DgpsAge, "DGPS age", f[13]);
    fields.storeInteger(record.StationId, "Station ID", f[14], kInt32Range);
}

}  // namespace bivane
