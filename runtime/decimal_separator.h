#pragma once

#include <QLocale>

namespace bivane {

// The decimal separator of screen texts: the locale's, when it is one
// character of plain ASCII (".", ","), else ".".
char DecimalSeparator(const QLocale& locale = QLocale());

}  // namespace bivane
