#include "model/Archive.h"

#include <gtest/gtest.h>

namespace almanary {
namespace {

using namespace std::string_literals;

// Every prefix, and a text one byte short refused. A wide text (FF FEFF, then its own length) is
// UTF-16; lone surrogates become U+FFFD.
TEST(ArchiveTest, TextsOfEveryLengthPrefixAndWideTexts) {
    const std::pair<std::size_t, std::string> prefixes[] = {{0, "\0"s},
                                                            {254, "\xFE"s},
                                                            {255, "\xFF\xFF\0"s},
                                                            {65533, "\xFF\xFD\xFF"s},
                                                            {65534, "\xFF\xFF\xFF\xFE\xFF\0\0"s},
                                                            {70000, "\xFF\xFF\xFF\x70\x11\x01\0"s}};
    for (const auto& [length, prefix] : prefixes) {
        const std::string text(length, 'x');
        ArchiveWriter out;
        out.writeText(text);
        EXPECT_EQ(out.bytes().substr(0, prefix.size()), prefix) << length;
        ArchiveReader in(out.bytes());
        std::string back;
        EXPECT_TRUE(in.readText(back, "text") && back == text && in.remaining() == 0) << length;
        ArchiveReader cut(std::string_view(out.bytes()).substr(0, out.bytes().size() - 1));
        EXPECT_FALSE(cut.readText(back, "text")) << length;
    }
    const std::pair<std::string, std::string> wide[] = {
        {"\x01\xAC\x20"s, "\xE2\x82\xAC"},     {"\x02\x3D\xD8\x00\xDE"s, "\xF0\x9F\x98\x80"},
        {"\x02Z\0\x3D\xD8"s, "Z\xEF\xBF\xBD"}, {"\x01\x00\xDE"s, "\xEF\xBF\xBD"},
        {"\x02\x3D\xD8Y\0"s, "\xEF\xBF\xBDY"}, {"\xFF\x01\x00z\0"s, "z"}};
    for (const auto& [units, expected] : wide) {
        const std::string stored = "\xFF\xFE\xFF"s + units + "tail";
        ArchiveReader in(stored);
        std::string text;
        EXPECT_TRUE(in.readText(text, "text") && in.remaining() == 4) << in.error();
        EXPECT_EQ(text, expected);
    }
}

}  // namespace
}  // namespace almanary
