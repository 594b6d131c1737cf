#include "model/Archive.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace almanary {
namespace {

std::string Hex(std::string_view bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        if (!out.empty())
            out += ' ';
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values)
        out += static_cast<char>(v);
    return out;
}

TEST(ArchiveText, LengthPrefixGrowsAtTheDocumentedLengths) {
    struct Case {
        std::size_t length;
        std::string prefix;
    };
    const std::vector<Case> cases = {
        {0, "00"},
        {8, "08"},
        {254, "FE"},
        {255, "FF FF 00"},
        {65533, "FF FD FF"},
        {65534, "FF FF FF FE FF 00 00"},
        {70000, "FF FF FF 70 11 01 00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        const std::string text(c.length, 'x');
        ArchiveWriter out;
        out.WriteText(text);
        const std::size_t prefixSize = (c.prefix.size() + 1) / 3;
        ASSERT_EQ(out.bytes().size(), prefixSize + c.length);
        EXPECT_EQ(Hex(out.bytes().substr(0, prefixSize)), c.prefix);

        ArchiveReader in(out.bytes());
        std::string back;
        ASSERT_TRUE(in.ReadText(back, "text"));
        EXPECT_EQ(back, text);
        EXPECT_EQ(in.remaining(), 0u);
    }
}

TEST(ArchiveNumbers, AreLittleEndianAndDateTimesAreUnsigned) {
    ArchiveWriter out;
    out.WriteU32(0x11223344);
    out.WriteI32(-2);
    out.WriteBool(true);
    out.WriteBool(false);
    out.WriteDateTime(0x80000000LL);  // past 2038
    out.WriteDateTime(kLastStorableDateTime);
    EXPECT_TRUE(out.ok());
    EXPECT_EQ(Hex(out.bytes()),
              "44 33 22 11 FE FF FF FF 01 00 00 00 00 00 00 00 00 00 00 80 FF FF FF FF");

    ArchiveReader in(out.bytes());
    std::uint32_t u = 0;
    std::int32_t i = 0;
    bool yes = false;
    bool no = true;
    DateTime late = 0;
    DateTime last = 0;
    ASSERT_TRUE(in.ReadU32(u, "u") && in.ReadI32(i, "i") && in.ReadBool(yes, "b") &&
                in.ReadBool(no, "b") && in.ReadDateTime(late, "d") && in.ReadDateTime(last, "d"));
    EXPECT_EQ(u, 0x11223344u);
    EXPECT_EQ(i, -2);
    EXPECT_TRUE(yes);
    EXPECT_FALSE(no);
    EXPECT_EQ(late, 0x80000000LL);
    EXPECT_EQ(last, 4294967295LL);
}

TEST(ArchiveNumbers, AnyNonZeroBooleanIsTrueAndWritesBackAsOne) {
    for (const std::string& stored : {Bytes({2, 0, 0, 0}), Bytes({0, 0, 0, 0x80})}) {
        ArchiveReader in(stored);
        bool value = false;
        ASSERT_TRUE(in.ReadBool(value, "flag"));
        EXPECT_TRUE(value);
        ArchiveWriter out;
        out.WriteBool(value);
        EXPECT_EQ(Hex(out.bytes()), "01 00 00 00");
    }
}

TEST(ArchiveWriterLimits, UnstorableDateFailsAndKeepsTheLayout) {
    for (DateTime value : {DateTime{-1}, DateTime{0x100000000LL}}) {
        ArchiveWriter out;
        out.WriteDateTime(value);
        EXPECT_FALSE(out.ok());
        EXPECT_FALSE(out.error().empty());
        EXPECT_EQ(Hex(out.bytes()), "00 00 00 00");
    }
}

TEST(ArchiveWideText, IsConvertedFromUtf16ToUtf8) {
    struct Case {
        const char* name;
        std::string stored;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"ascii", Bytes({0xFF, 0xFE, 0xFF, 2, 'H', 0, 'i', 0}), "Hi"},
        {"empty", Bytes({0xFF, 0xFE, 0xFF, 0}), ""},
        {"two-byte", Bytes({0xFF, 0xFE, 0xFF, 1, 0xE9, 0x00}), "\xC3\xA9"},
        {"three-byte", Bytes({0xFF, 0xFE, 0xFF, 1, 0xAC, 0x20}), "\xE2\x82\xAC"},
        {"surrogate pair", Bytes({0xFF, 0xFE, 0xFF, 2, 0x3D, 0xD8, 0x00, 0xDE}),
         "\xF0\x9F\x98\x80"},
        {"lone high at end", Bytes({0xFF, 0xFE, 0xFF, 2, 'a', 0, 0x3D, 0xD8}), "a\xEF\xBF\xBD"},
        {"lone low", Bytes({0xFF, 0xFE, 0xFF, 1, 0x00, 0xDE}), "\xEF\xBF\xBD"},
        {"high then letter", Bytes({0xFF, 0xFE, 0xFF, 2, 0x3D, 0xD8, 'b', 0}),
         "\xEF\xBF\xBD"
         "b"},
        {"second prefix long", Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0x01, 0x00, 'z', 0}), "z"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string bytes = c.stored + "tail";
        ArchiveReader in(bytes);
        std::string text = "old";
        ASSERT_TRUE(in.ReadText(text, "text")) << in.error();
        EXPECT_EQ(text, c.expected);
        EXPECT_EQ(in.remaining(), 4u);
    }
}

TEST(ArchiveDamage, ShortFieldsAreRefusedWithAReasonNamingThem) {
    struct Case {
        const char* name;
        std::string stored;
        bool text;
        std::string reasonPart;
    };
    const std::vector<Case> cases = {
        {"number", Bytes({1, 2, 3}), false, "the file ends early, in the notes of event 12"},
        {"text body", Bytes({5, 'a', 'b'}), true, "notes of event 12 (5 bytes promised, 2 left)"},
        {"long prefix", Bytes({0xFF, 0xFF}), true, "the file ends early, in the notes of event 12"},
        {"huge length", Bytes({0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0xFF, 'a'}), true,
         "(4294967280 bytes promised, 1 left)"},
        {"wide odd end", Bytes({0xFF, 0xFE, 0xFF, 2, 'a', 0, 'b'}), true,
         "(4 bytes promised, 3 left)"},
        {"empty", "", true, "the file ends early, in the notes of event 12"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ArchiveReader in(c.stored);
        in.SetRecord("event", 12);
        std::string text;
        std::uint32_t number = 0;
        const bool read = c.text ? in.ReadText(text, "notes") : in.ReadU32(number, "notes");
        EXPECT_FALSE(read);
        EXPECT_NE(in.error().find(c.reasonPart), std::string::npos) << in.error();
        EXPECT_EQ(in.remaining(), 0u);
    }
}

TEST(ArchiveDamage, FirstReasonStaysAndLaterReadsFail) {
    ArchiveReader in(Bytes({1, 0, 0}));
    std::uint32_t value = 0;
    EXPECT_FALSE(in.ReadU32(value, "event count"));
    const std::string first = in.error();
    EXPECT_EQ(first, "the file ends early, in the event count");
    std::string text;
    EXPECT_FALSE(in.ReadText(text, "skin name"));
    EXPECT_EQ(in.error(), first);
}

TEST(ArchiveDamage, CountsAreCheckedAgainstTheRoomLeft) {
    const std::string bytes(51, '\0');
    ArchiveReader in(bytes);
    EXPECT_TRUE(in.CheckCount(3, 17, "events"));
    EXPECT_TRUE(in.ok());
    EXPECT_FALSE(in.CheckCount(4000000000u, 17, "events"));
    EXPECT_EQ(in.error(), "the file promises 4000000000 events but holds room for at most 3");
}

}  // namespace
}  // namespace almanary
