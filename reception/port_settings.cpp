#include "reception/port_settings.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <iterator>
#include <limits>

namespace bivane {
namespace {

std::string_view trimmed(std::string_view item) {
    const std::size_t first = item.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return item.substr(first, item.find_last_not_of(" \t") + 1 - first);
}

// A whole number made of digits only (no sign, no point), or nothing.
std::optional<std::int64_t> wholeNumber(std::string_view item) {
    if (item.empty() || item.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), value);
    if (error != std::errc() || end != item.data() + item.size()) {
        return std::nullopt;
    }
    return value;
}

struct ParityLetter {
    char lower;
    char upper;
    PortParity parity;
};
constexpr ParityLetter kParityLetters[] = {{'n', 'N', PortParity::None},
                                           {'e', 'E', PortParity::Even},
                                           {'o', 'O', PortParity::Odd},
                                           {'m', 'M', PortParity::Mark},
                                           {'s', 'S', PortParity::Space}};

PortSettingsReading refused(std::string failure) {
    return {std::nullopt, std::move(failure)};
}

std::string quoted(std::string_view item) {
    return "\"" + std::string(item) + "\"";
}

}  // namespace

PortSettingsReading ParsePortSettings(std::string_view text) {
    std::array<std::string_view, 4> items;
    std::size_t count = 0;
    for (std::size_t start = 0;;) {
        const std::size_t comma = text.find(',', start);
        if (count < items.size()) {
            items[count] = trimmed(text.substr(start, comma - start));
        }
        ++count;
        if (comma == std::string_view::npos) {
            break;
        }
        start = comma + 1;
    }
    if (count != items.size()) {
        return refused(
            "expected speed, parity, data bits and stop bits separated by commas, as in "
            "\"4800,n,8,1\"");
    }

    PortSettings settings;
    const std::optional<std::int64_t> speed = wholeNumber(items[0]);
    if (!speed || *speed <= 0 || *speed > std::numeric_limits<std::int32_t>::max()) {
        return refused("the speed " + quoted(items[0]) + " is not a positive whole number");
    }
    settings.speed = static_cast<std::int32_t>(*speed);

    const std::string_view parity = items[1];
    const auto letter = std::find_if(
        std::begin(kParityLetters), std::end(kParityLetters), [parity](const ParityLetter& entry) {
            return parity.size() == 1 && (parity[0] == entry.lower || parity[0] == entry.upper);
        });
    if (letter == std::end(kParityLetters)) {
        return refused("the parity " + quoted(parity) + " is not one of n, e, o, m, s");
    }
    settings.parity = letter->parity;

    const std::optional<std::int64_t> dataBits = wholeNumber(items[2]);
    if (!dataBits || *dataBits < 5 || *dataBits > 8) {
        return refused("the data bits " + quoted(items[2]) + " are not 5, 6, 7 or 8");
    }
    settings.dataBits = static_cast<int>(*dataBits);

    const std::string_view stopBits = items[3];
    if (stopBits == "1") {
        settings.stopBits = PortStopBits::One;
    } else if (stopBits == "1.5") {
        settings.stopBits = PortStopBits::OneAndHalf;
    } else if (stopBits == "2") {
        settings.stopBits = PortStopBits::Two;
    } else {
        return refused("the stop bits " + quoted(stopBits) + " are not 1, 1.5 or 2");
    }
    return {settings, {}};
}

}  // namespace bivane
