#include "model/AlmanaryFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
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
using testing::readFile;
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

TEST_F(AlmanaryFileTest, NewDocumentGivesTheFiftyFiveByteStreamAndAPrivateScrambledFile) {
    AlmanaryDocument document;
    const std::string plain = AlmanaryFile::plainStream(document);
    EXPECT_EQ(hex(plain),
              "08 41 6C 6D 61 6E 61 72 79 00 00 00 00 0A 00 00 00 00 00 00 00 0C 72 65 6D 69 6E "
              "64 65 72 2E 77 61 76 00 00 00 00 00 00 00 00 00 07 44 65 66 61 75 6C 74 00 00 00 "
              "00");
    const std::string path = dir_.file("new.alm");
    ASSERT_EQ(AlmanaryFile::save(document, path), std::nullopt);
    std::string file = readFile(path);
    EXPECT_EQ(file.at(0), '\x08' ^ 0x6B);
    AlmanaryFile::scramble(file);
    EXPECT_EQ(file, plain);
    EXPECT_EQ(testing::modeOf(path), 0600u);
    // A replaced file keeps its permissions, and a link stays a link.
    ::chmod(path.c_str(), 0640);
    const std::string link = dir_.file("link.alm");
    std::filesystem::create_symlink(path, link);
    document.skinName = "Ocean";
    ASSERT_EQ(AlmanaryFile::save(document, link), std::nullopt);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(AlmanaryFile::load(path, now_).document.value().skinName, "Ocean");
    EXPECT_EQ(testing::modeOf(path), 0640u);
}

TEST_F(AlmanaryFileTest, EventRecordLayout) {
    Event event = makeEvent({2024, 5, 1, "9", "30", "Dentist", "60", "Work"});
    event.setRemind(true), event.setRemindMinutes(15);
    ArchiveWriter out;
    writeEvent(out, event);
    EXPECT_EQ(hex(out.bytes()),
              "C0 2E 32 66 01 39 02 33 30 02 36 30 07 44 65 6E 74 69 73 74 04 57 6F 72 6B 01 00 "
              "00 00 0F 00 00 00");  // noon, 1 May 2024 UTC, then the texts and the reminder
}

TEST_F(AlmanaryFileTest, PopulatedDocumentRoundTripsWithItsDueReminders) {
    AlmanaryDocument document;
    document.settings = {true, true, true, true, 45, "shared", "bell.wav", "s3cret"};
    document.categories = CategoryList({"Work", "Home"});
    document.skinName = "Ocean";
    Event late = makeEvent({2105, 12, 31, "23", "45", "Past 2038", "30"});  // above 2^31
    late.setRemind(true), late.setRemindMinutes(-5);
    Event past = makeEvent({2024, 4, 30, "7", "00", "Due already"});
    past.setRemind(true);
    ASSERT_TRUE(document.events.insert(late) && document.events.insert(past));
    const std::string path = dir_.file("full.alm");
    ASSERT_EQ(AlmanaryFile::save(document, path), std::nullopt);
    EXPECT_FALSE(document.events.isModified());

    const AlmanaryLoad loaded = AlmanaryFile::load(path, now_);
    ASSERT_TRUE(loaded.ok()) << loaded.problem->detail;
    const AlmanaryDocument& back = *loaded.document;
    document.settings.loadOnStart = false;  // neither is in the file
    document.settings.shareName.clear();
    EXPECT_EQ(back.settings, document.settings);
    EXPECT_EQ(back.categories, document.categories);
    EXPECT_EQ(back.skinName, "Ocean");
    ASSERT_EQ(back.events.count(), 2);
    for (int i = 0; i < 2; ++i)
        EXPECT_TRUE(back.events.at(i).sameContent(document.events.at(i)) &&
                    back.events.at(i).date() == document.events.at(i).date());
    EXPECT_FALSE(back.events.isModified());
    EXPECT_EQ(notesOf(loaded.dueReminders), Notes{"Due already"});
}

// The category list ends at its first empty name, though every name is read;
// bytes after the last record are ignored.
TEST_F(AlmanaryFileTest, RecordsComeBackInStartOrderAndEqualStartsInFileOrder) {
    const std::string file = fileWithRecords(
        {sample(2, "10", "fifth"), sample(2, "9", "third"), sample(1, "10", "second"),
         sample(1, "09", "first"), sample(2, "9", "fourth")},
        {"Work", "", "Home"}, "");
    AlmanaryLoad loaded = AlmanaryFile::parse(file + "garbage", "x.alm", now_);
    ASSERT_TRUE(loaded.ok()) << loaded.problem->detail;
    EXPECT_EQ(notesOf(loaded.document->events),
              (Notes{"first", "second", "third", "fourth", "fifth"}));
    EXPECT_FALSE(loaded.document->events.isModified());
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

TEST_F(AlmanaryFileTest, DamagedAndForeignFilesAreRefusedWithTheirReason) {
    const std::string fixtures = std::string(ALMANARY_FIXTURES_DIR) + "/";
    std::string wrongLetter = fileWithRecords({});
    wrongLetter[8] = static_cast<char>('Y' ^ 0x6B);
    testing::writeFile(dir_.file("wrong-letter.alm"), wrongLetter);
    AlmanaryDocument unscrambled;
    testing::writeFile(dir_.file("plain.alm"), AlmanaryFile::plainStream(unscrambled));
    const struct {
        std::string path, reason;  // no reason: not an almanary at all
    } cases[] = {
        {fixtures + "truncated.alm",
         "the file ends early, in the notes of event 2 (29 bytes promised, 10 left)"},
        {fixtures + "absurd-event-count.alm",
         "the file promises 4000000000 events but holds room for at most 2"},
        {fixtures + "absurd-text-length.alm",
         "the file ends early, in the notes of event 1 (4294967280 bytes promised, 7 left)"},
        {fixtures + "absurd-category-count.alm",
         "the file promises 3000000000 categories but holds room for at most 5"},
        {fixtures + "wide-odd-length.alm",
         "the file ends early, in the password (6 bytes promised, 5 left)"},
        {fixtures + "not-almanary.alm", ""},
        {dir_.file("wrong-letter.alm"), ""},
        {dir_.file("plain.alm"), ""},
    };
    for (const auto& c : cases) {
        const AlmanaryLoad loaded = AlmanaryFile::load(c.path, now_);
        ASSERT_FALSE(loaded.ok()) << c.path;
        EXPECT_EQ(loaded.problem->kind, c.reason.empty() ? Kind::NotAlmanary : Kind::Damaged);
        EXPECT_EQ(loaded.problem->path, c.path);
        EXPECT_EQ(loaded.problem->detail, c.reason);
    }
}

TEST_F(AlmanaryFileTest, FailedReadLeavesTheEventListAsItWas) {
    EventList events;
    ASSERT_TRUE(events.insert(sample(1, "9", "kept")));
    std::string stream = fileWithRecords({sample(2, "9", "lost"), sample(3, "9", "lost too")});
    AlmanaryFile::scramble(stream);
    stream.resize(stream.size() - 3);
    ArchiveReader in(std::string_view(stream).substr(stream.find("Default") + 7));
    EXPECT_FALSE(events.read(in));
    EXPECT_EQ(in.error(), "the file ends early, in the reminder lead of event 2");
    EXPECT_EQ(notesOf(events), Notes{"kept"});
    EXPECT_TRUE(events.isModified());
}

TEST_F(AlmanaryFileTest, UnopenableFilesAreReportedByName) {
    const std::string pipe = dir_.file("pipe.alm");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const struct {
        std::string path;
        Kind kind;
        std::string detail;
    } cases[] = {
        {dir_.file("gone.alm"), Kind::Missing, ""},
        {dir_.path().string(), Kind::Unreadable, "it is a folder"},
        {pipe, Kind::Unreadable, "it is not an ordinary file"},  // and no wait for a writer
    };
    for (const auto& c : cases) {
        const AlmanaryLoad loaded = AlmanaryFile::load(c.path, now_);
        ASSERT_FALSE(loaded.ok());
        EXPECT_EQ(loaded.problem->kind, c.kind);
        EXPECT_EQ(loaded.problem->path, c.path);
        EXPECT_EQ(loaded.problem->detail, c.detail);
    }
}

TEST_F(AlmanaryFileTest, FailedSavesLeaveTheOldFileAndNoStrayFile) {
    AlmanaryDocument document;
    ASSERT_TRUE(document.events.insert(sample(1, "9", "changed")));
    const std::string target = dir_.file("doc.alm");
    testing::writeFile(target, "old contents");
    std::filesystem::create_directory(dir_.file("folder.alm"));
    const auto expectRefused = [&](const std::string& path, const std::string& reason) {
        const auto problem = AlmanaryFile::save(document, path);
        ASSERT_TRUE(problem.has_value()) << reason;
        EXPECT_EQ(problem->kind, Kind::CannotWrite);
        EXPECT_EQ(problem->path, path);
        EXPECT_NE(problem->detail.find(reason), std::string::npos) << problem->detail;
        EXPECT_TRUE(document.events.isModified());
        EXPECT_EQ(readFile(target), "old contents");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 2);
    };
    for (const std::size_t budget : {0, 40}) {
        AtomicFile::failAfterBytesForTesting(budget);
        expectRefused(target, "No space left on device");
    }
    AtomicFile::failAfterBytesForTesting(std::nullopt);
    expectRefused(dir_.file("nowhere") + "/doc.alm", "does not exist");
    expectRefused(dir_.file("folder.alm"), "is a folder");
    Event early = sample(1, "9", "x");
    early.setDate(-86400);
    ASSERT_TRUE(document.events.insert(early));
    expectRefused(target,
                  "the event on 1969-12-31 at 9:00 has a date outside the years 1970 to 2106");
    ASSERT_TRUE(document.events.removeByKey(early.key()));
    std::filesystem::permissions(target, std::filesystem::perms::owner_read);
    expectRefused(target, "is read-only");
}

}  // namespace
}  // namespace almanary
