#pragma once

#include <QLocale>

#include "numbers/number_format.h"

namespace heatplate {

// The decimal and grouping separators of a locale, ready for the conversions.
NumberSeparators separators_of(const QLocale& locale);

}  // namespace heatplate
