#include "model/AlmanaryFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "model/Archive.h"
#include "model/AtomicFile.h"
#include "model/EventListIo.h"
#include "support/SampleEvents.h"
#include "support/ScopedTimeZone.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary {
namespace {

using testing::hex;
using testing::makeEvent;
using testing::Notes;
using testing::notesOf;
using Kind = AlmanaryProblem::Kind;

Event sample(int day, const char* hour, const std::string& notes) {
    return makeEvent({2024, 3, day, hour, "00", notes, "30", "Work"});
}

// The file bytes of a document whose categories and event records are
// written as given, in that order.
std::string fileWithRecords(const std::vector<Event>& records,
                            const std::vector<std::string>& categories = {},
                            const std::string& skin = "Default") {
    ArchiveWriter out;
    out.writeText("Almanary");
    AlmanaryFile::writeDocumentSettings(out, DocumentSettings{});
    out.writeU32(static_cast<std::uint32_t>(categories.size()));
    for (const std::string& name : categories)
        out.writeText(name);
    out.writeText(skin);
    out.writeU32(static_cast<std::uint32_t>(records.size()));
    for (const Event& e : records)
        writeEvent(out, e);
    std::string bytes = out.take();
    AlmanaryFile::scramble(bytes);
    return bytes;
}

class AlmanaryFileTest : public ::testing::Test {
protected:
    testing::ScopedTimeZone zone_{"UTC"};
    testing::TempDir dir_;
    const DateTime now_ = testing::localTime(2024, 5, 1, 8, 0);
};

TEST_F(AlmanaryFileTest, ANewDocumentIsTheFiftyFiveByteStreamScrambled) {
    AlmanaryDocument document;
    const std::string plain = AlmanaryFile::plainStream(document);
    EXPECT_EQ(hex(plain),
              "08 41 6C 6D 61 6E 61 72 79 00 00 00 00 0A 00 00 00 00 00 00 00 0C 72 65 6D 69 6E "
              "64 65 72 2E 77 61 76 00 00 00 00 00 00 00 00 00 07 44 65 66 61 75 6C 74 00 00 00 "
              "00");
    ASSERT_EQ(AlmanaryFile::save(document, dir_.file("new.alm")), std::nullopt);
    std::string file = testing::readFile(dir_.file("new.alm"));
    EXPECT_EQ(file.at(0), '\x08' ^ 0x6B);
    AlmanaryFile::scramble(file);
    EXPECT_EQ(file, plain);
}

// The loaded document writes the same stream; loadOnStart and shareName
// are not in the file.
TEST_F(AlmanaryFileTest, APopulatedDocumentRoundTripsWithItsDueReminders) {
    AlmanaryDocument document;
    document.settings = {true, true, true, true, 45, "shared", "bell.wav", "s3cret"};
    document.categories = CategoryList({"Work", "Home"});
    document.skinName = "Ocean";
    Event late = makeEvent({2105, 12, 31, "23", "45", "Past 2038", "30"});  // above 2^31
    late.setRemind(true), late.setRemindMinutes(-5);
    Event past = makeEvent({2024, 4, 30, "7", "00", "Due already"});
    past.setRemind(true);
    ASSERT_TRUE(document.events.insert(late) && document.events.insert(past));
    ASSERT_EQ(AlmanaryFile::save(document, dir_.file("full.alm")), std::nullopt);
    EXPECT_FALSE(document.events.isModified());

    AlmanaryLoad loaded = AlmanaryFile::load(dir_.file("full.alm"), now_);
    ASSERT_TRUE(loaded.ok()) << loaded.problem->detail;
    EXPECT_FALSE(loaded.document->events.isModified());
    EXPECT_EQ(notesOf(loaded.dueReminders), Notes{"Due already"});
    EXPECT_EQ(AlmanaryFile::plainStream(*loaded.document), AlmanaryFile::plainStream(document));
    document.settings.loadOnStart = false;
    document.settings.shareName.clear();
    EXPECT_EQ(loaded.document->settings, document.settings);
}

// The category list ends at its first empty name, though every name is
// read; bytes after the last record are ignored; a filter keeps only the
// events it accepts.
TEST_F(AlmanaryFileTest, RecordsComeBackInStartOrderAndEqualStartsInFileOrder) {
    const std::string file = fileWithRecords(
        {sample(2, "10", "fifth"), sample(2, "9", "third"), sample(1, "10", "second"),
         sample(1, "09", "first"), sample(2, "9", "fourth")},
        {"Work", "", "Home"}, "");
    AlmanaryLoad loaded = AlmanaryFile::parse(file + "garbage", "x.alm", now_);
    ASSERT_TRUE(loaded.ok()) << loaded.problem->detail;
    EXPECT_EQ(notesOf(loaded.document->events),
              (Notes{"first", "second", "third", "fourth", "fifth"}));
    EXPECT_EQ(loaded.document->categories.names(), std::vector<std::string>{"Work"});
    // The next save writes one name, and the empty skin name as "Default".
    EXPECT_NE(hex(AlmanaryFile::plainStream(*loaded.document))
                  .find("01 00 00 00 04 57 6F 72 6B 07 44 65 66 61 75 6C 74"),
              std::string::npos);
    const auto onSecond = [](const Event& e) { return e.isOnDay({2024, 3, 2}); };
    const AlmanaryLoad kept = AlmanaryFile::parse(file, "x.alm", now_, onSecond);
    EXPECT_EQ(notesOf(kept.document->events), (Notes{"third", "fourth", "fifth"}));
}

TEST_F(AlmanaryFileTest, EveryTruncationIsRefused) {
    // A 300-byte note has a 3-byte length prefix.
    const std::string file =
        fileWithRecords({sample(1, "9", std::string(300, 'n')), sample(2, "9", "two")}, {"A", "B"});
    for (std::size_t size = 0; size < file.size(); ++size) {
        const AlmanaryLoad loaded = AlmanaryFile::parse(file.substr(0, size), "cut.alm", now_);
        ASSERT_FALSE(loaded.ok()) << size;
        EXPECT_EQ(loaded.problem->kind, size < 9 ? Kind::NotAlmanary : Kind::Damaged) << size;
        EXPECT_EQ(loaded.problem->path, "cut.alm") << size;
    }
    EXPECT_TRUE(AlmanaryFile::parse(file, "whole.alm", now_).ok());
}

TEST_F(AlmanaryFileTest, FilesThatCannotBeLoadedAreRefusedWithTheirReason) {
    const std::string fixtures = std::string(ALMANARY_FIXTURES_DIR) + "/";
    std::string wrongLetter = fileWithRecords({});
    wrongLetter[8] = static_cast<char>('Y' ^ 0x6B);
    testing::writeFile(dir_.file("wrong-letter.alm"), wrongLetter);
    const std::string pipe = dir_.file("pipe.alm");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const struct {
        std::string path;
        Kind kind;
        std::string detail;
    } cases[] = {
        {fixtures + "truncated.alm", Kind::Damaged,
         "the file ends early, in the notes of event 2 (29 bytes promised, 10 left)"},
        {fixtures + "absurd-event-count.alm", Kind::Damaged,
         "the file promises 4000000000 events but holds room for at most 2"},
        {fixtures + "absurd-text-length.alm", Kind::Damaged,
         "the file ends early, in the notes of event 1 (4294967280 bytes promised, 7 left)"},
        {fixtures + "absurd-category-count.alm", Kind::Damaged,
         "the file promises 3000000000 categories but holds room for at most 5"},
        {fixtures + "wide-odd-length.alm", Kind::Damaged,
         "the file ends early, in the password (6 bytes promised, 5 left)"},
        {fixtures + "not-almanary.alm", Kind::NotAlmanary, ""},
        {dir_.file("wrong-letter.alm"), Kind::NotAlmanary, ""},
        {dir_.file("gone.alm"), Kind::Missing, ""},
        {dir_.path().string(), Kind::Unreadable, "it is a folder"},
        {pipe, Kind::Unreadable, "it is not an ordinary file"},  // and no wait for a writer
    };
    for (const auto& c : cases) {
        const AlmanaryLoad loaded = AlmanaryFile::load(c.path, now_);
        ASSERT_FALSE(loaded.ok()) << c.path;
        EXPECT_EQ(loaded.problem->kind, c.kind) << c.path;
        EXPECT_EQ(loaded.problem->path, c.path);
        EXPECT_EQ(loaded.problem->detail, c.detail);
    }
}

// How AtomicFile fails is its own test's business; here the document keeps
// its changes marked.
TEST_F(AlmanaryFileTest, AFailedSaveSaysWhyAndKeepsTheChangesMarked) {
    AlmanaryDocument document;
    Event early = sample(1, "10", "x");
    early.setDate(-86400);
    ASSERT_TRUE(document.events.insert(sample(2, "9", "kept")) && document.events.insert(early));
    const std::string path = dir_.file("doc.alm");
    const auto expectRefused = [&](const std::string& reason) {
        const auto problem = AlmanaryFile::save(document, path);
        ASSERT_TRUE(problem.has_value()) << reason;
        EXPECT_EQ(problem->kind, Kind::CannotWrite);
        EXPECT_EQ(problem->path, path);
        EXPECT_EQ(problem->detail, reason);
        EXPECT_TRUE(document.events.isModified());
    };
    expectRefused("the event on 1969-12-31 at 10:00 has a date outside the years 1970 to 2106");
    ASSERT_TRUE(document.events.removeByKey(early.key()));
    AtomicFile::failAfterBytesForTesting(40);
    expectRefused("the new contents cannot be written (No space left on device)");
    AtomicFile::failAfterBytesForTesting(std::nullopt);
}

}  // namespace
}  // namespace almanary
