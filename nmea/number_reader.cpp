#include "nmea/number_reader.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace bivane {
namespace {

bool isSkipped(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Collects the significant characters of the leading number into a compact
// form that std::from_chars accepts ("-12.5e3"), then converts it. Short
// numbers stay on the stack; only pathological texts (hundreds of digits)
// allocate.
class NumberText {
  public:
    void push(char c) {
        if (m_size < sizeof m_small) {
            m_small[m_size++] = c;
            return;
        }
        if (m_large.empty()) {
            m_large.assign(m_small, m_size);
        }
        m_large.push_back(c);
        ++m_size;
    }
    void truncate(std::size_t size) {
        m_size = size;
        if (!m_large.empty()) {
            m_large.resize(size);
        }
    }
    std::size_t size() const { return m_size; }
    const char* data() const { return m_large.empty() ? m_small : m_large.data(); }

  private:
    char m_small[96];
    std::size_t m_size = 0;
    std::string m_large;
};

// The common case, a plain decimal such as "5419.2060000" or "-12", read
// without building any text: at most 19 significant digits and at most 22
// decimals, so that mantissa / 10^decimals is one correctly rounded division
// of two exact doubles. Anything else (blanks, an exponent, long numbers) is
// left to the full reader.
std::optional<double> readPlainDecimal(std::string_view text, bool commaIsPoint) {
    static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const char* c = text.data();
    const char* const end = c + text.size();
    const bool negative = c != end && *c == '-';
    if (c != end && (*c == '-' || *c == '+')) {
        ++c;
    }
    // Up to 19 digits always fit the mantissa, leading zeros included.
    std::uint64_t mantissa = 0;
    const char* const digitsStart = c;
    for (; c != end && isDigit(*c); ++c) {
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(*c - '0');
    }
    std::size_t decimals = 0;
    if (c != end && (*c == '.' || (commaIsPoint && *c == ','))) {
        const char* const fractionStart = ++c;
        for (; c != end && isDigit(*c); ++c) {
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(*c - '0');
        }
        decimals = static_cast<std::size_t>(c - fractionStart);
    }
    const auto digits = static_cast<std::size_t>(c - digitsStart) - (decimals > 0 ? 1 : 0);
    if (c != end && (isSkipped(*c) || *c == 'e' || *c == 'E')) {
        return std::nullopt;  // the number may go on
    }
    if (digits > 19 || decimals > 22 || mantissa > (std::uint64_t{1} << 53)) {
        return std::nullopt;
    }
    if (mantissa == 0) {
        return 0.0;  // no digit, or zeros only
    }
    const double value = static_cast<double>(mantissa) / kPowersOfTen[decimals];
    return negative ? -value : value;
}

// The full reader, for everything the plain-decimal path leaves. Kept out of
// line so that the common path does not pay for its stack frame.
[[gnu::noinline]] double readAnyNumber(std::string_view text, bool commaIsPoint) {
    NumberText number;
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto skip = [&] {
        while (i < n && isSkipped(text[i])) {
            ++i;
        }
    };
    auto pointAt = [&](std::size_t k) {
        return text[k] == '.' || (commaIsPoint && text[k] == ',');
    };

    skip();
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (negative) {
        number.push('-');
    }
    // Mantissa. Leading zeros of the integer part are dropped (they carry no
    // value) and the decimal exponent of the first significant digit is
    // tracked so that an out-of-range result can tell overflow from underflow.
    bool anyDigit = false;
    bool seenPoint = false;
    bool significant = false;
    long long integerDigits = 0;  // significant digits before the point
    long long leadingFractionZeros = 0;
    for (; i < n; ++i) {
        const char c = text[i];
        if (isSkipped(c)) {
            continue;
        }
        if (isDigit(c)) {
            anyDigit = true;
            significant = significant || c != '0';
            if (seenPoint) {
                leadingFractionZeros += significant ? 0 : 1;
                number.push(c);
            } else if (significant) {
                ++integerDigits;
                number.push(c);
            }
        } else if (!seenPoint && pointAt(i)) {
            seenPoint = true;
            number.push('.');
        } else {
            break;
        }
    }
    if (!anyDigit) {
        return 0.0;
    }
    // Exponent, only when digits follow the letter (and its sign).
    long long exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        while (j < n && isSkipped(text[j])) {
            ++j;
        }
        bool expNegative = false;
        if (j < n && (text[j] == '+' || text[j] == '-')) {
            expNegative = text[j] == '-';
            ++j;
        }
        while (j < n && isSkipped(text[j])) {
            ++j;
        }
        if (j < n && isDigit(text[j])) {
            const std::size_t mark = number.size();
            number.push('e');
            if (expNegative) {
                number.push('-');
            }
            bool expSignificant = false;
            for (; j < n; ++j) {
                if (isSkipped(text[j])) {
                    continue;
                }
                if (!isDigit(text[j])) {
                    break;
                }
                if (text[j] != '0') {
                    expSignificant = true;
                }
                if (expSignificant) {
                    number.push(text[j]);
                    if (exponent < 1'000'000'000) {
                        exponent = exponent * 10 + (text[j] - '0');
                    }
                }
            }
            if (!expSignificant) {
                number.truncate(mark);  // "e000" is no exponent at all
            }
            if (expNegative) {
                exponent = -exponent;
            }
        }
    }
    if (!significant) {
        return 0.0;
    }

    double value = 0.0;
    const char* first = number.data();
    const char* last = first + number.size();
    auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        const long long magnitude =
            (integerDigits > 0 ? integerDigits : -leadingFractionZeros) + exponent;
        const double limit = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
        return negative ? -limit : limit;
    }
    (void)ptr;
    return value;
}

double readNumber(std::string_view text, bool commaIsPoint) {
    if (const auto plain = readPlainDecimal(text, commaIsPoint)) {
        return *plain;
    }
    return readAnyNumber(text, commaIsPoint);
}

}  // namespace

double ReadLeadingNumber(std::string_view text) {
    return readNumber(text, false);
}

double NumberFromText(std::string_view text) {
    return readNumber(text, true);
}

}  // namespace bivane
