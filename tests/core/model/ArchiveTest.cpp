#include "model/Archive.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "support/TestFiles.h"

namespace almanary {
namespace {

using testing::hex;

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (const int v : values)
        out += static_cast<char>(v);
    return out;
}

TEST(ArchiveTest, TheLengthPrefixGrowsAtItsThresholdsAndReadsBack) {
    const std::pair<std::size_t, std::string> cases[] = {{0, "00"},
                                                         {254, "FE"},
                                                         {255, "FF FF 00"},
                                                         {65533, "FF FD FF"},
                                                         {65534, "FF FF FF FE FF 00 00"},
                                                         {70000, "FF FF FF 70 11 01 00"}};
    for (const auto& [length, prefix] : cases) {
        const std::string text(length, 'x');
        ArchiveWriter out;
        out.writeText(text);
        EXPECT_EQ(hex(out.bytes().substr(0, (prefix.size() + 1) / 3)), prefix) << length;
        ArchiveReader in(out.bytes());
        std::string back;
        EXPECT_TRUE(in.readText(back, "text") && back == text && in.remaining() == 0) << length;
    }
}

TEST(ArchiveTest, NumbersAreLittleEndianAndAnUnstorableDateFailsTheWriter) {
    ArchiveWriter out;
    out.writeU32(0x11223344);
    out.writeI32(-2);
    out.writeDateTime(kLastStorableDateTime);
    EXPECT_TRUE(out.ok());
    EXPECT_EQ(hex(out.bytes()), "44 33 22 11 FE FF FF FF FF FF FF FF");
    for (const DateTime unstorable : {DateTime{-1}, DateTime{0x100000000LL}}) {
        ArchiveWriter date;
        date.writeDateTime(unstorable);
        EXPECT_FALSE(date.ok());
        EXPECT_EQ(hex(date.bytes()), "00 00 00 00");  // the layout stays
    }
    const std::string stored = bytes({0, 0, 0, 0x80});
    ArchiveReader in(stored);
    bool flag = false;
    EXPECT_TRUE(in.readBool(flag, "flag") && flag);  // any non-zero value is true
}

TEST(ArchiveTest, AWideTextIsConvertedFromUtf16ToUtf8) {
    const struct {
        std::string stored, expected;
    } cases[] = {
        {bytes({0xFF, 0xFE, 0xFF, 2, 'H', 0, 'i', 0}), "Hi"},
        {bytes({0xFF, 0xFE, 0xFF, 1, 0xAC, 0x20}), "\xE2\x82\xAC"},
        {bytes({0xFF, 0xFE, 0xFF, 2, 0x3D, 0xD8, 0x00, 0xDE}), "\xF0\x9F\x98\x80"},  // a pair
        {bytes({0xFF, 0xFE, 0xFF, 2, 'a', 0, 0x3D, 0xD8}), "a\xEF\xBF\xBD"},  // lone high at end
        {bytes({0xFF, 0xFE, 0xFF, 1, 0x00, 0xDE}), "\xEF\xBF\xBD"},           // lone low
        {bytes({0xFF, 0xFE, 0xFF, 2, 0x3D, 0xD8, 'b', 0}),
         "\xEF\xBF\xBD"
         "b"},
        {bytes({0xFF, 0xFE, 0xFF, 0xFF, 0x01, 0x00, 'z', 0}), "z"},  // a long length
    };
    for (const auto& c : cases) {
        const std::string stored = c.stored + "tail";
        ArchiveReader in(stored);
        std::string text;
        EXPECT_TRUE(in.readText(text, "text") && in.remaining() == 4) << in.error();
        EXPECT_EQ(text, c.expected);
    }
}

// The reasons of whole damaged files are checked with the almanary file.
TEST(ArchiveTest, TheFirstShortFieldStopsTheReaderAndIsNamed) {
    const struct {
        std::string stored;
        bool text;
        std::string reason;
    } cases[] = {
        {bytes({1, 2, 3}), false, "the file ends early, in the notes of event 12"},
        {bytes({0xFF, 0xFF}), true, "the file ends early, in the notes of event 12"},
        {bytes({0xFF, 0xFE, 0xFF, 2, 'a', 0, 'b'}), true,
         "the file ends early, in the notes of event 12 (4 bytes promised, 3 left)"},
    };
    for (const auto& c : cases) {
        ArchiveReader in(c.stored);
        in.setRecord("event", 12);
        std::string text;
        std::uint32_t number = 0;
        EXPECT_FALSE(c.text ? in.readText(text, "notes") : in.readU32(number, "notes"));
        in.clearRecord();
        EXPECT_FALSE(in.readText(text, "skin name"));  // later reads fail, the first reason stays
        EXPECT_EQ(in.error(), c.reason);
    }
}

}  // namespace
}  // namespace almanary
