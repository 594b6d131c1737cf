#include "model/AlmanaryFile.h"

#include <gtest/gtest.h>

#include "model/Archive.h"
#include "model/AtomicFile.h"
#include "model/EventListIo.h"
#include "support/SampleEvents.h"
#include "support/ScopedTimeZone.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary::testing {
namespace {

using Kind = AlmanaryProblem::Kind;

class AlmanaryFileTest : public ::testing::Test {
protected:
    ScopedTimeZone zone_{"UTC"};
    TempDir dir_;
    const DateTime now_ = localTime(2024, 5, 1, 8, 0);
};

// A document reads back whole, beginning with the bytes the installed MIME type matches.
TEST_F(AlmanaryFileTest, DocumentsRoundTripWithTheirDueReminders) {
    AlmanaryDocument document;
    document.settings = {false, true, true, true, 45, "", "bell.wav", "s3cret"};
    document.categories = CategoryList({"Work", "Home"});
    document.skinName = "Ocean";
    Event late = makeEvent({2105, 12, 31, "23", "45", "Past 2038", "30", "Work"});
    late.setRemind(true), late.setRemindMinutes(-5);
    Event past = makeEvent({2024, 4, 30, "7", "00", "Due already"});
    past.setRemind(true);
    ASSERT_TRUE(document.events.insert(late) && document.events.insert(past));
    ASSERT_EQ(AlmanaryFile::save(document, dir_.file("full.alm")), std::nullopt);
    AlmanaryLoad loaded = AlmanaryFile::load(dir_.file("full.alm"), now_);
    ASSERT_TRUE(loaded.ok()) << loaded.problem->detail;
    EXPECT_FALSE(loaded.document->events.isModified());
    EXPECT_EQ(notesOf(loaded.dueReminders), Notes{"Due already"});
    EXPECT_EQ(AlmanaryFile::plainStream(*loaded.document), AlmanaryFile::plainStream(document));

    const std::string mime = readFile(ALMANARY_RESOURCES_DIR "/almanary-mime.xml");
    std::string magic;
    for (auto at = mime.find("value=\"") + 7; mime.compare(at, 2, "\\x") == 0; at += 4)
        magic += static_cast<char>(std::stoi(mime.substr(at + 2, 2), nullptr, 16));
    EXPECT_EQ(magic.size(), 9u);
    EXPECT_TRUE(readFile(dir_.file("full.alm")).starts_with(magic));
}

// Equal starts keep file order, categories end at an empty name, trailing bytes are ignored.
TEST_F(AlmanaryFileTest, RecordsCategoriesAndSkinAsTheFileHasThem) {
    ArchiveWriter out;
    out.writeText("Almanary");
    AlmanaryFile::writeDocumentSettings(out, DocumentSettings{});
    out.writeU32(3);
    for (const char* name : {"Work", "", "Home"})
        out.writeText(name);
    out.writeText("");
    out.writeU32(3);
    for (const auto& [hour, notes] :
         {std::pair{"10", "third"}, std::pair{"9", "first"}, std::pair{"09", "second"}})
        writeEvent(out, makeEvent({2024, 3, 1, hour, "00", notes}));
    std::string file = out.take() + "garbage";
    AlmanaryFile::scramble(file);
    AlmanaryLoad loaded = AlmanaryFile::parse(file, "x.alm", now_);
    ASSERT_TRUE(loaded.ok()) << loaded.problem->detail;
    EXPECT_EQ(notesOf(loaded.document->events), (Notes{"first", "second", "third"}));
    EXPECT_EQ(AlmanaryFile::plainStream(*loaded.document).substr(39, 17),
              std::string("\x01\0\0\0\x04Work\x07"
                          "Default",
                          17));
    const auto atNine = [](const EventRecord& r) { return r.toEvent().key().hour == 9; };
    EXPECT_EQ(notesOf(AlmanaryFile::parse(file, "x.alm", now_, atNine).document->events),
              (Notes{"first", "second"}));
}

TEST_F(AlmanaryFileTest, FilesThatCannotBeLoadedAreRefusedWithTheirReason) {
    const std::string pipe = dir_.file("pipe.alm");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // A path in the fixtures folder unless absolute, the kind, how the detail ends.
    const std::tuple<std::string, Kind, std::string> cases[] = {
        {"truncated.alm", Kind::Damaged, "in the notes of event 2 (29 bytes promised, 10 left)"},
        {"absurd-event-count.alm", Kind::Damaged, "4000000000 events but holds room for at most 2"},
        {"absurd-text-length.alm", Kind::Damaged, "event 1 (4294967280 bytes promised, 7 left)"},
        {"absurd-category-count.alm", Kind::Damaged, "categories but holds room for at most 5"},
        {"wide-odd-length.alm", Kind::Damaged, "in the password (6 bytes promised, 5 left)"},
        {"not-almanary.alm", Kind::NotAlmanary, ""},
        {dir_.file("gone.alm"), Kind::Missing, ""},
        {dir_.path().string(), Kind::Unreadable, "it is a folder"},
        {pipe, Kind::Unreadable, "it is not an ordinary file"},  // and no wait for a writer
    };
    for (const auto& [name, kind, detail] : cases) {
        const std::string path = name.starts_with("/") ? name : ALMANARY_FIXTURES_DIR "/" + name;
        const AlmanaryLoad loaded = AlmanaryFile::load(path, now_);
        ASSERT_FALSE(loaded.ok()) << path;
        EXPECT_TRUE(loaded.problem->kind == kind && loaded.problem->path == path) << path;
        EXPECT_TRUE(loaded.problem->detail.ends_with(detail)) << loaded.problem->detail;
    }
}

// How AtomicFile fails is its own test's business; here the changes stay marked.
TEST_F(AlmanaryFileTest, AFailedSaveSaysWhyAndKeepsTheChangesMarked) {
    AlmanaryDocument document;
    Event early = makeEvent({2024, 3, 1, "10", "00", "x"});
    early.setDate(-86400);
    ASSERT_TRUE(document.events.insert(early));
    const std::string path = dir_.file("doc.alm");
    const auto expectRefused = [&](const std::string& reason) {
        const auto problem = AlmanaryFile::save(document, path);
        ASSERT_TRUE(problem.has_value()) << reason;
        EXPECT_TRUE(problem->kind == Kind::CannotWrite && problem->path == path);
        EXPECT_EQ(problem->detail, reason);
        EXPECT_TRUE(document.events.isModified());
    };
    expectRefused("the event on 1969-12-31 at 10:00 has a date outside the years 1970 to 2106");
    ASSERT_TRUE(document.events.removeByKey(early.key()));
    AtomicFile::failAfterBytesForTesting(20);
    expectRefused("the new contents cannot be written (No space left on device)");
    AtomicFile::failAfterBytesForTesting(std::nullopt);
}

}  // namespace
}  // namespace almanary::testing
