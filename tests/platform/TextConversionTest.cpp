// Bytes from documents shown as window text, and back.
#include "platform/TextConversion.h"

#include <gtest/gtest.h>

#include <string>

namespace almanary {
namespace {

struct Case {
    const char* name;
    std::string bytes;
    QString shown;
};

TEST(TextConversion, ShowsUtf8AsItselfAndAnythingElseAsLatin1) {
    const Case cases[] = {
        {"empty", "", QString()},
        {"ascii", "Lunch & tea", QStringLiteral("Lunch & tea")},
        {"two-byte letters", "Caf\xC3\xA9", QString::fromUtf16(u"Caf\u00E9")},
        {"four-byte symbol", "\xF0\x9F\x93\x85", QString::fromUtf16(u"\U0001F4C5")},
        {"byte-order mark kept", "\xEF\xBB\xBFx", QString::fromUtf16(u"\uFEFFx")},
        {"embedded NUL kept", std::string("a\0b", 3), QString::fromUtf16(u"a\u0000b", 3)},
        // Each of these is not UTF-8, so every byte is a Latin-1 letter.
        {"lone Latin-1 letter", "Caf\xE9", QString::fromUtf16(u"Caf\u00E9")},
        {"stray continuation", "\x80z", QString::fromUtf16(u"\u0080z")},
        {"overlong slash", "\xC0\xAF", QString::fromUtf16(u"\u00C0\u00AF")},
        {"overlong three bytes", "\xE0\x80\xAF", QString::fromUtf16(u"\u00E0\u0080\u00AF")},
        {"surrogate", "\xED\xA0\x80", QString::fromUtf16(u"\u00ED\u00A0\u0080")},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", QString::fromUtf16(u"\u00F4\u0090\u0080\u0080")},
        {"cut short at the end", "ab\xC3", QString::fromUtf16(u"ab\u00C3")},
        {"cut short before ASCII", "\xE2\x82z", QString::fromUtf16(u"\u00E2\u0082z")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToQString(c.bytes), c.shown) << c.name;
    }
}

TEST(TextConversion, WritesUtf8AndRoundTripsValidText) {
    EXPECT_EQ(ToBytes(QString::fromUtf16(u"Caf\u00E9 \U0001F4C5")), "Caf\xC3\xA9 \xF0\x9F\x93\x85");
    EXPECT_EQ(ToBytes(QString()), "");
    const std::string utf8 = "Notes: \xE2\x82\xAC 12, \xC3\xBC";
    EXPECT_EQ(ToBytes(ToQString(utf8)), utf8);
}

}  // namespace
}  // namespace almanary
