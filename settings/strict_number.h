#pragma once

#include <optional>
#include <string_view>

namespace bivane {

// A text that is one number and nothing else: blanks and tabs around it, an
// optional sign, digits with at most one decimal point "." (a leading zero
// may be left out: ".5"), and an optional exponent ("e" or "E", optional
// sign, digits). Anything else, blanks inside the number included, gives
// nothing. The value is the one the program's number reader gives the text,
// so it is read the same way everywhere; a number beyond the double range is
// plus or minus infinity.
std::optional<double> ReadStrictNumber(std::string_view text);

}  // namespace bivane
