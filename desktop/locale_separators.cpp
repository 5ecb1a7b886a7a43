#include "desktop/locale_separators.h"

namespace heatplate {

NumberSeparators separators_of(const QLocale& locale) {
    NumberSeparators s;
    s.decimal = locale.decimalPoint().toStdString();
    s.group = locale.groupSeparator().toStdString();
    // The results file is single-byte text: a separator outside Latin-1
    // (a narrow no-break space, say) is written as a plain space.
    const QString group = locale.groupSeparator();
    char byte = ' ';
    if (group.size() == 1 && group.at(0).unicode() < 256) {
        byte = static_cast<char>(group.at(0).unicode());
    }
    s.file_group.assign(group.isEmpty() ? 0 : 1, byte);
    return s;
}

}  // namespace heatplate
