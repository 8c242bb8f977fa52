#include "tools/sim/settings_file.h"

#include "settings/settings_file.h"

namespace bivane::sim {

std::string SettingsFileText(const AntennaOffsets& offsets) {
    SettingsItems items;
    items.OffsetX = {offsets.x[0], offsets.x[1]};
    items.OffsetY = {offsets.y[0], offsets.y[1]};
    items.HeadingOutput = true;
    return WriteSettingsFile(items);
}

}  // namespace bivane::sim
