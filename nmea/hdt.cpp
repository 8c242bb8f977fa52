#include "nmea/hdt.h"

#include <algorithm>

#include "nmea/gga.h"
#include "nmea/number_format.h"
#include "nmea/number_reader.h"

namespace bivane {
namespace {

template <typename Real>
std::string nmeaNumberText(Real value, std::string_view pattern) {
    if (static_cast<double>(value) == MissingValue) {
        return {};
    }
    std::string text = FormatNumber(value, pattern, '.');
    std::replace(text.begin(), text.end(), ',', '.');
    return text;
}

std::string_view headingPattern(std::int16_t decimals) {
    switch (decimals) {
        case 0:
            return "000";
        case 2:
            return "000.00";
        case 3:
            return "000.000";
        default:
            return "000.0";
    }
}

}  // namespace

std::string NmeaNumberText(double value, std::string_view pattern) {
    return nmeaNumberText(value, pattern);
}

std::string NmeaNumberText(float value, std::string_view pattern) {
    return nmeaNumberText(value, pattern);
}

std::string BuildValueStatusSentence(std::string_view talker, std::string_view formatter,
                                     const std::optional<std::string>& value) {
    std::string sentence = SentenceAddress(talker, formatter);
    if (value) {
        sentence += *value;
        sentence += ",A";
    } else {
        sentence += ",V";
    }
    sentence += '*';
    sentence += NmeaChecksum(sentence);
    return sentence;
}

std::string NmeaChecksum(std::string_view sentence) {
    const std::size_t star = sentence.find('*');
    if (sentence.size() < 2 || star == 0) {
        return "XX";
    }
    const std::string_view summed =
        star == std::string_view::npos ? sentence.substr(1) : sentence.substr(1, star - 1);
    if (summed.empty()) {
        return "XX";
    }
    unsigned sum = 0;
    for (char c : summed) {
        sum ^= static_cast<unsigned char>(c);
    }
    constexpr char kHex[] = "0123456789ABCDEF";
    return {kHex[(sum >> 4) & 0xF], kHex[sum & 0xF]};
}

bool NmeaChecksumMatches(std::string_view line) {
    const std::size_t star = line.find('*');
    if (star == std::string_view::npos || line.size() < star + 3) {
        return false;
    }
    const std::string expected = NmeaChecksum(line);
    const int high = HexDigitValue(line[star + 1]);
    const int low = HexDigitValue(line[star + 2]);
    return high >= 0 && low >= 0 && high == HexDigitValue(expected[0]) &&
           low == HexDigitValue(expected[1]);
}

std::string SentenceAddress(std::string_view talker, std::string_view formatter) {
    std::string sentence = "$";
    sentence += talker.substr(0, 2);
    sentence.append(2 - std::min<std::size_t>(talker.size(), 2), ' ');
    sentence += formatter;
    sentence += ',';
    return sentence;
}

std::string BuildHdtSentence(std::string_view talker, float heading, std::int16_t decimals,
                             ChecksumField checksum) {
    std::string sentence = SentenceAddress(talker, "HDT");
    sentence += NmeaNumberText(heading, headingPattern(decimals));
    sentence += ",T";
    if (checksum == ChecksumField::Appended) {
        sentence += '*';
        sentence += NmeaChecksum(sentence);
    }
    return sentence;
}

}  // namespace bivane
