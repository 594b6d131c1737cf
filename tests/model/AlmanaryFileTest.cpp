#include "model/AlmanaryFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "model/Archive.h"
#include "model/AtomicFile.h"
#include "model/EventListIo.h"
#include "support/ScopedTimeZone.h"
#include "support/TempDir.h"

namespace almanary {
namespace {

using testing::ScopedTimeZone;
using testing::TempDir;
using Kind = AlmanaryProblem::Kind;

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

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

Event MakeEvent(int year, int month, int day, const char* hour, const char* minute,
                const std::string& notes) {
    Event event;
    event.setHour(hour);
    event.setMinute(minute);
    event.setDuration("30");
    event.setNotes(notes);
    event.setCategory("Work");
    event.setDate(*Calendar::FromLocal(year, month, day, 12));
    return event;
}

// The file bytes of a document whose event records are written as given,
// in that order, followed by `tail`.
std::string FileWithRecords(const std::vector<Event>& records, const std::string& tail = "") {
    ArchiveWriter out;
    out.WriteText("Almanary");
    AlmanaryFile::WriteDocumentSettings(out, DocumentSettings{});
    out.WriteU32(0);
    out.WriteText("Default");
    out.WriteU32(static_cast<std::uint32_t>(records.size()));
    for (const Event& e : records)
        WriteEvent(out, e);
    std::string bytes = out.take() + tail;
    AlmanaryFile::Scramble(bytes);
    return bytes;
}

std::vector<std::string> NotesInOrder(const EventList& events) {
    std::vector<std::string> notes;
    events.ForEach([&notes](const Event& e) { notes.push_back(e.notes()); });
    return notes;
}

class AlmanaryFileTest : public ::testing::Test {
protected:
    ScopedTimeZone zone_{"UTC"};
    TempDir dir_;
    const DateTime now_ = *Calendar::FromLocal(2024, 5, 1, 8, 0);
};

const char* const kEmptyDocument =
    "08 41 6C 6D 61 6E 61 72 79 00 00 00 00 0A 00 00 00 00 00 00 00 0C 72 65 6D 69 6E 64 65 "
    "72 2E 77 61 76 00 00 00 00 00 00 00 00 00 07 44 65 66 61 75 6C 74 00 00 00 00";

TEST_F(AlmanaryFileTest, NewDocumentGivesTheFiftyFiveByteStreamAndItsScrambledFile) {
    AlmanaryDocument document;
    const std::string plain = AlmanaryFile::PlainStream(document);
    EXPECT_EQ(plain.size(), 55u);
    EXPECT_EQ(Hex(plain), kEmptyDocument);

    const std::string path = dir_.file("new.alm");
    ASSERT_EQ(AlmanaryFile::Save(document, path), std::nullopt);
    std::string file = ReadFile(path);
    ASSERT_EQ(file.size(), 55u);
    EXPECT_EQ(static_cast<unsigned char>(file[0]), 0x08 ^ 0x6B);
    AlmanaryFile::Scramble(file);
    EXPECT_EQ(file, plain);

    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);  // a new almanary is private
}

TEST_F(AlmanaryFileTest, EventRecordLayout) {
    Event event = MakeEvent(2024, 5, 1, "9", "30", "Dentist");
    event.setDuration("60");
    event.setRemind(true);
    event.setRemindMinutes(15);
    ArchiveWriter out;
    WriteEvent(out, event);
    const std::string& bytes = out.bytes();
    EXPECT_EQ(bytes.substr(0, 4), [&] {
        ArchiveWriter date;
        date.WriteDateTime(event.date());
        return date.take();
    }());
    EXPECT_EQ(Hex(bytes.substr(4)),
              "01 39 02 33 30 02 36 30 07 44 65 6E 74 69 73 74 04 57 6F 72 6B 01 00 00 00 0F 00 "
              "00 00");
}

TEST_F(AlmanaryFileTest, PopulatedDocumentRoundTripsThroughTheFile) {
    AlmanaryDocument document;
    document.settings = {true, true, true, true, 45, "shared", "bell.wav", "s3cret"};
    document.categories = CategoryList({"Work", "Home"});
    document.skinName = "Ocean";
    Event late = MakeEvent(2105, 12, 31, "23", "45", "Past the year 2038");  // above 2^31
    late.setRemind(true);
    late.setRemindMinutes(-5);
    ASSERT_TRUE(document.events.Insert(late));
    Event past = MakeEvent(2024, 4, 30, "7", "00", "Due already");
    past.setRemind(true);
    ASSERT_TRUE(document.events.Insert(past));
    ASSERT_TRUE(document.events.NodeAt(2)->date() > 0x80000000LL);

    const std::string path = dir_.file("full.alm");
    ASSERT_EQ(AlmanaryFile::Save(document, path), std::nullopt);
    EXPECT_FALSE(document.events.IsModified());

    const AlmanaryLoad loaded = AlmanaryFile::Load(path, now_);
    ASSERT_TRUE(loaded.ok()) << loaded.problem->message;
    const AlmanaryDocument& back = *loaded.document;
    DocumentSettings expected = document.settings;
    expected.loadOnStart = false;  // not in the file
    expected.shareName.clear();
    EXPECT_EQ(back.settings, expected);
    EXPECT_EQ(back.categories, document.categories);
    EXPECT_EQ(back.skinName, "Ocean");
    ASSERT_EQ(back.events.Count(), 2);
    for (int i = 1; i <= 2; ++i) {
        EXPECT_TRUE(back.events.NodeAt(i)->SameContent(*document.events.NodeAt(i)));
        EXPECT_EQ(back.events.NodeAt(i)->date(), document.events.NodeAt(i)->date());
    }
    EXPECT_FALSE(back.events.IsModified());
    EXPECT_EQ(back.events.NodeAt(2)->key().year, 2105);
    EXPECT_EQ(NotesInOrder(loaded.dueReminders.events), std::vector<std::string>{"Due already"});
}

TEST_F(AlmanaryFileTest, DueRemindersOfTheLoadedEvents) {
    Event past = MakeEvent(2024, 4, 30, "7", "00", "Yesterday");
    past.setRemind(true);
    Event future = MakeEvent(2024, 6, 1, "7", "00", "Next month");
    future.setRemind(true);
    const AlmanaryLoad loaded = AlmanaryFile::Parse(FileWithRecords({past, future}), "x.alm", now_);
    ASSERT_TRUE(loaded.ok());
    EXPECT_TRUE(loaded.dueReminders.found);
    EXPECT_EQ(NotesInOrder(loaded.dueReminders.events), std::vector<std::string>{"Yesterday"});
}

TEST_F(AlmanaryFileTest, RecordsComeBackInStartOrderAndEqualStartsInFileOrder) {
    const std::vector<Event> records = {
        MakeEvent(2024, 3, 2, "9", "00", "third"), MakeEvent(2024, 3, 1, "10", "00", "second"),
        MakeEvent(2024, 3, 1, "09", "0", "first"), MakeEvent(2024, 3, 2, "9", "00", "fourth")};
    const AlmanaryLoad loaded = AlmanaryFile::Parse(FileWithRecords(records), "x.alm", now_);
    ASSERT_TRUE(loaded.ok());
    EXPECT_EQ(NotesInOrder(loaded.document->events),
              (std::vector<std::string>{"first", "second", "third", "fourth"}));
    EXPECT_FALSE(loaded.document->events.IsModified());
}

TEST_F(AlmanaryFileTest, CategoryListEndsAtTheFirstEmptyName) {
    ArchiveWriter out;
    out.WriteText("Almanary");
    AlmanaryFile::WriteDocumentSettings(out, DocumentSettings{});
    out.WriteU32(3);
    for (const char* name : {"Work", "", "Home"})
        out.WriteText(name);
    out.WriteText("");  // an empty skin name
    out.WriteU32(0);
    std::string bytes = out.take();
    AlmanaryFile::Scramble(bytes);

    AlmanaryLoad loaded = AlmanaryFile::Parse(bytes, "x.alm", now_);
    ASSERT_TRUE(loaded.ok()) << loaded.problem->message;
    EXPECT_EQ(loaded.document->categories.names(), std::vector<std::string>{"Work"});

    // The next save writes one name, and the empty skin name as "Default".
    const std::string plain = AlmanaryFile::PlainStream(*loaded.document);
    EXPECT_NE(Hex(plain).find("01 00 00 00 04 57 6F 72 6B 07 44 65 66 61 75 6C 74"),
              std::string::npos);
}

TEST_F(AlmanaryFileTest, BytesAfterTheLastRecordAreIgnored) {
    const AlmanaryLoad loaded = AlmanaryFile::Parse(
        FileWithRecords({MakeEvent(2024, 3, 1, "9", "00", "only")}, "garbage\xFF\xFF"), "x.alm",
        now_);
    ASSERT_TRUE(loaded.ok());
    EXPECT_EQ(loaded.document->events.Count(), 1);
}

TEST_F(AlmanaryFileTest, KeepPredicateHoldsOnlyTheChosenEvents) {
    const std::vector<Event> records = {MakeEvent(2024, 3, 1, "9", "00", "a"),
                                        MakeEvent(2024, 3, 2, "9", "00", "b"),
                                        MakeEvent(2024, 3, 2, "11", "00", "c")};
    const CalendarDate day{2024, 3, 2};
    const AlmanaryLoad loaded = AlmanaryFile::Parse(
        FileWithRecords(records), "x.alm", now_, [&day](const Event& e) { return e.IsOnDay(day); });
    ASSERT_TRUE(loaded.ok());
    EXPECT_EQ(NotesInOrder(loaded.document->events), (std::vector<std::string>{"b", "c"}));
}

TEST_F(AlmanaryFileTest, ShortOrWrongHeaderIsNotAnAlmanary) {
    const std::string valid = FileWithRecords({});
    std::string wrongLength = valid;
    wrongLength[0] = static_cast<char>(9 ^ 0x6B);
    std::string wrongLetter = valid;
    wrongLetter[8] = static_cast<char>('Y' ^ 0x6B);
    AlmanaryDocument unscrambled;
    const std::string plain = AlmanaryFile::PlainStream(unscrambled);
    for (const std::string& bytes : {valid.substr(0, 8), wrongLength, wrongLetter, plain}) {
        const AlmanaryLoad loaded = AlmanaryFile::Parse(bytes, "/docs/odd.alm", now_);
        ASSERT_FALSE(loaded.ok());
        EXPECT_EQ(loaded.problem->kind, Kind::NotAlmanary);
        EXPECT_EQ(loaded.problem->message,
                  "/docs/odd.alm is not a Almanary file, and was not loaded.");
    }
}

TEST_F(AlmanaryFileTest, EveryTruncationIsRefusedAndNeverCrashes) {
    AlmanaryDocument document;
    document.categories = CategoryList({"Work", "Home"});
    Event event = MakeEvent(2024, 3, 1, "9", "00", std::string(300, 'n'));  // a 3-byte prefix
    event.setRemind(true);
    ASSERT_TRUE(document.events.Insert(event));
    ASSERT_TRUE(document.events.Insert(MakeEvent(2024, 3, 2, "9", "00", "two")));
    std::string file = AlmanaryFile::PlainStream(document);
    AlmanaryFile::Scramble(file);
    for (std::size_t size = 0; size < file.size(); ++size) {
        const AlmanaryLoad loaded = AlmanaryFile::Parse(file.substr(0, size), "cut.alm", now_);
        ASSERT_FALSE(loaded.ok()) << size;
        EXPECT_EQ(loaded.problem->kind, size < 9 ? Kind::NotAlmanary : Kind::Damaged) << size;
        EXPECT_EQ(loaded.problem->message.rfind("cut.alm ", 0), 0u) << size;
    }
    EXPECT_TRUE(AlmanaryFile::Parse(file, "whole.alm", now_).ok());
}

TEST_F(AlmanaryFileTest, DamagedFixturesAreRefusedWithTheirReason) {
    struct Case {
        const char* file;
        Kind kind;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {"truncated.alm", Kind::Damaged,
         "the file ends early, in the notes of event 2 (29 bytes promised, 10 left)"},
        {"absurd-event-count.alm", Kind::Damaged,
         "the file promises 4000000000 events but holds room for at most 2"},
        {"absurd-text-length.alm", Kind::Damaged,
         "the file ends early, in the notes of event 1 (4294967280 bytes promised, 7 left)"},
        {"absurd-category-count.alm", Kind::Damaged,
         "the file promises 3000000000 categories but holds room for at most 5"},
        {"wide-odd-length.alm", Kind::Damaged,
         "the file ends early, in the password (6 bytes promised, 5 left)"},
        {"not-almanary.alm", Kind::NotAlmanary, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = std::string(ALMANARY_FIXTURES_DIR) + "/" + c.file;
        const AlmanaryLoad loaded = AlmanaryFile::Load(path, now_);
        ASSERT_FALSE(loaded.ok());
        EXPECT_EQ(loaded.problem->kind, c.kind);
        if (c.kind == Kind::Damaged) {
            EXPECT_EQ(loaded.problem->message,
                      path + " is damaged and was not loaded: " + c.reason + ".");
        } else {
            EXPECT_EQ(loaded.problem->message.rfind(path + " is not a", 0), 0u);
        }
    }
}

TEST_F(AlmanaryFileTest, FailedReadLeavesTheEventListAsItWas) {
    EventList events;
    ASSERT_TRUE(events.Insert(MakeEvent(2024, 1, 1, "9", "00", "kept")));
    ASSERT_TRUE(events.IsModified());
    std::string stream = FileWithRecords(
        {MakeEvent(2024, 2, 1, "9", "00", "lost"), MakeEvent(2024, 2, 2, "9", "00", "lost too")});
    AlmanaryFile::Scramble(stream);
    stream.resize(stream.size() - 3);
    ArchiveReader in(std::string_view(stream).substr(stream.find("Default") + 7));
    EXPECT_EQ(events.Read(in, now_), std::nullopt);
    EXPECT_EQ(in.error(), "the file ends early, in the reminder lead of event 2");
    EXPECT_EQ(NotesInOrder(events), std::vector<std::string>{"kept"});
    EXPECT_TRUE(events.IsModified());
}

TEST_F(AlmanaryFileTest, UnopenableFilesAreReportedByName) {
    const std::string missing = dir_.file("gone.alm");
    AlmanaryLoad loaded = AlmanaryFile::Load(missing, now_);
    ASSERT_FALSE(loaded.ok());
    EXPECT_EQ(loaded.problem->kind, Kind::CannotOpen);
    EXPECT_EQ(loaded.problem->message,
              missing + " could not be found.  The almanary was not loaded.");

    const std::string pipe = dir_.file("pipe.alm");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::vector<std::pair<std::string, std::string>> unreadable = {
        {dir_.path().string(), "it is a folder"},
        {pipe, "it is not an ordinary file"},  // and opening it did not wait for a writer
    };
    for (const auto& [path, reason] : unreadable) {
        loaded = AlmanaryFile::Load(path, now_);
        ASSERT_FALSE(loaded.ok());
        EXPECT_EQ(loaded.problem->kind, Kind::CannotOpen);
        EXPECT_EQ(loaded.problem->message,
                  path + " could not be read: " + reason + ".  The almanary was not loaded.");
    }
}

class AlmanarySaveTest : public AlmanaryFileTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(document_.events.Insert(MakeEvent(2024, 3, 1, "9", "00", "changed")));
        WriteFile(target_, "old contents");
    }
    void TearDown() override { AtomicFile::FailAfterBytesForTesting(std::nullopt); }

    // The save failed, named the file, left the old bytes, the document
    // still marked as changed and no stray file in the folder.
    void ExpectRefused(const std::optional<AlmanaryProblem>& problem, const std::string& path,
                       const std::string& reasonPart) {
        ASSERT_TRUE(problem.has_value());
        EXPECT_EQ(problem->kind, Kind::CannotWrite);
        EXPECT_EQ(problem->message.rfind("The almanary " + path + " could not be saved: ", 0), 0u)
            << problem->message;
        EXPECT_NE(problem->message.find(reasonPart), std::string::npos) << problem->message;
        EXPECT_TRUE(document_.events.IsModified());
        EXPECT_EQ(ReadFile(target_), "old contents");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()),
                                std::filesystem::directory_iterator()),
                  std::ptrdiff_t{expectedEntries_});
    }

    AlmanaryDocument document_;
    std::string target_ = dir_.file("doc.alm");
    int expectedEntries_ = 1;
};

TEST_F(AlmanarySaveTest, InterruptedWriteLeavesTheOldFile) {
    for (std::size_t budget : {std::size_t{0}, std::size_t{1}, std::size_t{40}}) {
        AtomicFile::FailAfterBytesForTesting(budget);
        ExpectRefused(AlmanaryFile::Save(document_, target_), target_, "No space left on device");
    }
}

TEST_F(AlmanarySaveTest, MissingFolderAndFolderTargetAreRefused) {
    const std::string inMissing = dir_.file("nowhere") + "/doc.alm";
    ExpectRefused(AlmanaryFile::Save(document_, inMissing), inMissing, "does not exist");
    std::filesystem::create_directory(dir_.file("folder.alm"));
    expectedEntries_ = 2;
    ExpectRefused(AlmanaryFile::Save(document_, dir_.file("folder.alm")), dir_.file("folder.alm"),
                  "is a folder");
}

TEST_F(AlmanarySaveTest, ReadOnlyFileIsRefused) {
    std::filesystem::permissions(target_, std::filesystem::perms::owner_read);
    ExpectRefused(AlmanaryFile::Save(document_, target_), target_, "is read-only");
}

TEST_F(AlmanarySaveTest, UnstorableDateIsRefusedBeforeWriting) {
    Event early = MakeEvent(2024, 3, 1, "9", "00", "x");
    early.setDate(-86400);
    ASSERT_TRUE(document_.events.Insert(early));
    ExpectRefused(AlmanaryFile::Save(document_, target_), target_,
                  "the event on 1969-12-31 at 9:00 has a date outside the years 1970 to 2106");
}

TEST_F(AlmanarySaveTest, ReplacedFileKeepsItsPermissionsAndLinksStay) {
    ::chmod(target_.c_str(), 0640);
    const std::string link = dir_.file("link.alm");
    std::filesystem::create_symlink(target_, link);
    ASSERT_EQ(AlmanaryFile::Save(document_, link), std::nullopt);
    EXPECT_FALSE(document_.events.IsModified());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_TRUE(AlmanaryFile::HasHeader(ReadFile(target_)));
    struct stat info {};
    ASSERT_EQ(::stat(target_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

}  // namespace
}  // namespace almanary
