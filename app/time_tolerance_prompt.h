#pragma once

#include <QString>

#include "app/user_prompts.h"
#include "heading/compass_state.h"

namespace bivane {

// The accepted time difference in its shortest form, as the prompt offers
// it: 0.2 shows as "0.2" (with `decimalSeparator` for the point).
QString TimeToleranceText(float tolerance, char decimalSeparator);

// The time-difference prompt of the Setup menu: asks for the time difference
// (seconds) that the two receivers' fixes may have for a heading, starting
// from the current one. Cancel, an empty answer or the offered text
// unchanged change nothing; otherwise
// TimeTolerance becomes the typed number ("," reads as the decimal point, no
// number reads as 0), rounded to single precision, and applies from the next
// heading cycle. A number beyond the single-precision range is refused with
// a message that names it, and nothing changes.
void AskTimeTolerance(UserPrompts& prompts, CompassState& state, char decimalSeparator);

}  // namespace bivane
