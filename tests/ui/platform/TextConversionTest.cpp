// Bytes from documents shown as window text, and back.
#include "platform/TextConversion.h"

#include <gtest/gtest.h>

#include <string>

namespace almanary {
namespace {

TEST(TextConversion, ShowsUtf8AsItselfAndAnythingElseAsLatin1) {
    const std::pair<std::string, QString> cases[] = {
        {"Caf\xC3\xA9", QString::fromUtf16(u"Caf\u00E9")},
        {"\xF0\x9F\x93\x85", QString::fromUtf16(u"\U0001F4C5")},
        {std::string("a\0b", 3), QString::fromUtf16(u"a\u0000b", 3)},
        // Not UTF-8, so every byte is a Latin-1 letter.
        {"Caf\xE9", QString::fromUtf16(u"Caf\u00E9")},
        {"\xC0\xAF", QString::fromUtf16(u"\u00C0\u00AF")},            // overlong
        {"\xED\xA0\x80", QString::fromUtf16(u"\u00ED\u00A0\u0080")},  // surrogate
        {"ab\xC3", QString::fromUtf16(u"ab\u00C3")},                  // cut short
    };
    for (const auto& [bytes, shown] : cases)
        EXPECT_EQ(toQString(bytes), shown) << bytes;
}

TEST(TextConversion, WritesUtf8AndRoundTripsValidText) {
    EXPECT_EQ(toBytes(QString::fromUtf16(u"Caf\u00E9 \U0001F4C5")), "Caf\xC3\xA9 \xF0\x9F\x93\x85");
    const std::string utf8 = "Notes: \xE2\x82\xAC 12, \xC3\xBC";
    EXPECT_EQ(toBytes(toQString(utf8)), utf8);
}

}  // namespace
}  // namespace almanary
