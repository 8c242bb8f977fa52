#pragma once

#include <string>
#include <string_view>

namespace bivane {

// A latitude or longitude in degrees, minutes and seconds, e.g.
// 48°07'02.280"N. `degrees` is signed (north and east positive); `kind` "LAT"
// (any case) writes a latitude with two degree digits and N/S, anything else
// a longitude with three degree digits and E/W. `form` "FILE" (any case) puts
// the byte 248 (the degree sign of the old PC code pages) in place of "°",
// any other form is the screen form (UTF-8 "°"). `secondsDecimals` is 0 to 4.
// Seconds that would round to 60 carry into the minutes. No range check.
std::string PositionText(double degrees, std::string_view kind, std::string_view form,
                         int secondsDecimals, char decimalSeparator);

}  // namespace bivane
