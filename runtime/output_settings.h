#pragma once

#include <QSettings>

#include "heading/compass_state.h"
#include "heading/sentence_choice.h"

namespace bivane {

// What the heading output sends, kept in the per-user settings store (section
// "Output"), never in the settings file of the program folder.
struct OutputSettings {
    SentenceChoice sentences{HeadingSentence::Hdt};  // key "Sentences": "HDT,THS"
    double baselineLimit = 1.0;                      // key "BaselineLimit": degrees, "." as point
    double rotTimeConstant = 2.0;  // key "RotTimeConstant": seconds, 0 for no smoothing

    bool operator==(const OutputSettings&) const = default;
};

// The stored values; a key that is missing or cannot be read keeps its
// default (HDT alone, 1.0 degree, 2 s).
OutputSettings ReadOutputSettings(const QSettings& store);

void WriteOutputSettings(QSettings& store, const OutputSettings& settings);

// The state a start begins with: the time tolerance and talker of every
// start, and the stored output settings.
void UseOutputSettings(const OutputSettings& settings, CompassState& state);

}  // namespace bivane
