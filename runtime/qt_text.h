#pragma once

#include <QString>
#include <string_view>

namespace bivane {

// The program's own texts are UTF-8; Qt's are UTF-16.
inline QString FromStd(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace bivane
