// Bytes from documents shown as window text, and back.
#include "platform/TextConversion.h"

#include <gtest/gtest.h>

#include <tuple>

namespace almanary {
namespace {

// UTF-8 shows as itself and goes back unchanged; other bytes show as Latin-1.
TEST(TextConversion, ShowsUtf8AsItselfAndAnythingElseAsLatin1) {
    const std::tuple<std::string, QString, bool> cases[] = {
        {"Caf\xC3\xA9 \xF0\x9F\x93\x85", QString::fromUtf16(u"Caf\u00E9 \U0001F4C5"), true},
        {"Caf\xE9", QString::fromUtf16(u"Caf\u00E9"), false},
        {"ab\xC3", QString::fromUtf16(u"ab\u00C3"), false},  // cut short
    };
    for (const auto& [bytes, shown, utf8] : cases) {
        EXPECT_EQ(toQString(bytes), shown) << bytes;
        EXPECT_EQ(toBytes(shown) == bytes, utf8) << bytes;
    }
}

}  // namespace
}  // namespace almanary
