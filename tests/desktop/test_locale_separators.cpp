// The separators a locale hands the outputs, and the single byte the results
// file groups thousands with.
#include <gtest/gtest.h>

#include <QLocale>
#include <QString>

#include "desktop/locale_separators.h"

namespace heatplate {
namespace {

TEST(LocaleSeparators, TheFileKeepsALatin1SeparatorAndSpacesAWiderOne) {
    const struct {
        const char* locale;
        const char* decimal;
        const char* group;       // UTF-8
        const char* file_group;  // Latin-1
    } cases[] = {
        {"en_US", ".", ",", ","},          // ASCII: the same byte
        {"de_DE", ",", ".", "."},          // ASCII: the same byte
        {"ru_RU", ",", "\u00A0", "\xA0"},  // no-break space: one Latin-1 byte
        {"fr_FR", ",", "\u202F", " "},     // narrow no-break space: none
        {"de_CH", ".", "\u2019", " "},     // right single quotation mark: none
    };
    for (const auto& c : cases) {
        const NumberSeparators s = separators_of(QLocale(QString::fromLatin1(c.locale)));
        EXPECT_EQ(s.decimal, c.decimal) << c.locale;
        EXPECT_EQ(s.group, c.group) << c.locale;
        EXPECT_EQ(s.file_group, c.file_group) << c.locale;
    }
}

}  // namespace
}  // namespace heatplate
