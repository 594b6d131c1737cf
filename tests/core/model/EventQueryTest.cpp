#include "model/EventQuery.h"

#include <random>

#include "model/AlmanaryFile.h"
#include "model/Archive.h"
#include "support/SampleEvents.h"
#include "support/ScopedTimeZone.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary::testing {
namespace {

// Events in no order, with equal starts, odd texts (hours outside 0..23,
// negative and huge durations), long notes and moments at any second of
// days around a change of clocks, written as an almanary file.
std::string generatedFile(std::uint32_t count) {
    std::mt19937 random(7);
    const auto pick = [&random](std::initializer_list<const char*> texts) {
        return std::string(texts.begin()[random() % texts.size()]);
    };
    ArchiveWriter out;
    out.writeText(AlmanaryFile::kHeaderWord);
    AlmanaryFile::writeDocumentSettings(out, DocumentSettings{});
    out.writeU32(0);
    out.writeText("Default");
    out.writeU32(count);
    const DateTime first = localTime(2026, 3, 27);
    for (std::uint32_t i = 0; i < count; ++i) {
        Event event;
        event.setHour(pick({"0", "9", "09", "23", "24", "-3", "x"}));
        event.setMinute(pick({"00", "15", "45", "75"}));
        event.setDuration(pick({"0", "30", "300", "-90", "100000"}));
        event.setNotes(pick({"Meet Anna", "DENTIST", "Straße", "lunch"}) +
                       std::string(random() % 8 == 0 ? 300 : 0, '.'));
        event.setCategory(pick({"Work", "work", "", "Home"}));
        event.setRemind(random() % 2 == 0);
        event.setRemindMinutes(static_cast<std::int32_t>(random() % 200) - 20);
        event.setDate(first + static_cast<DateTime>(random() % (5 * 86400)));
        writeEvent(out, event);
    }
    std::string bytes = out.take();
    AlmanaryFile::scramble(bytes);
    return bytes;
}

std::string lines(const EventList& events) {
    std::string shown;
    events.forEach([&](const Event& e) {
        shown += std::string(e.hour()) + ":" + std::string(e.minute()) + " " +
                 std::to_string(e.date()) + " " + e.notes() + "/" + e.category() + "\n";
    });
    return shown;
}

// Asked while reading the file, a window at a time, a question has the answer
// the whole loaded list gives; a damaged file, the whole read's reason.
TEST(EventQueryTest, ReadingAFileAnswersAsTheWholeListDoes) {
    ScopedTimeZone zone("Europe/Berlin");  // summer time begins on 29 March 2026
    TempDir dir;
    const std::string path = dir.file("generated.alm");
    writeFile(path, generatedFile(1500));
    const DateTime now = localTime(2026, 3, 29, 3, 30);
    const AlmanaryLoad whole = AlmanaryFile::load(path, now);
    ASSERT_TRUE(whole.ok()) << whole.problem->detail;

    const std::vector<std::pair<const char*, EventQuery>> questions = {
        {"day", EventQuery::onDay({2026, 3, 29})},
        {"empty day", EventQuery::onDay({2026, 4, 30})},
        {"category", EventQuery::inCategory("Work")},
        {"no category", EventQuery::inCategory("")},
        {"words", EventQuery::notesHolding("STRASSE")},
        {"due", EventQuery::dueAt(now)},
        {"touching", EventQuery::touching(makeEvent({2026, 3, 29, "1", "45", "x", "120"}))},
    };
    for (const std::size_t window :
         {std::size_t{16}, std::size_t{700}, AlmanaryFile::kLoadWindow}) {
        for (const auto& [name, question] : questions) {
            SCOPED_TRACE(std::string(name) + ", window " + std::to_string(window));
            const AlmanaryLoad asked = AlmanaryFile::load(path, now, question.filter(), window);
            ASSERT_TRUE(asked.ok()) << asked.problem->detail;
            const EventList expected = question.answerFrom(whole.document->events);
            EXPECT_EQ(lines(asked.document->events), lines(expected));
            EXPECT_EQ(asked.eventRecords, 1500u);
        }
    }
    EXPECT_GT(EventQuery::onDay({2026, 3, 29}).answerFrom(whole.document->events).count(), 200);

    // A first window that ends inside the last field of the file.
    const std::string bytes = readFile(path);
    const RecordFilter inWork = questions[2].second.filter();
    for (std::size_t cut = 1; cut <= 4; ++cut)
        EXPECT_TRUE(AlmanaryFile::load(path, now, inWork, bytes.size() - cut).ok()) << cut;
    // Damaged, a file fails for the reason the whole read gives.
    for (const auto& entry : std::filesystem::directory_iterator(ALMANARY_FIXTURES_DIR)) {
        if (entry.path().extension() != ".alm")
            continue;
        const AlmanaryLoad read = AlmanaryFile::parse(readFile(entry.path()), "", 0);
        const AlmanaryLoad asked = AlmanaryFile::load(entry.path(), 0, {}, 16);
        ASSERT_TRUE(!read.ok() && !asked.ok()) << entry.path();
        EXPECT_EQ(asked.problem->detail, read.problem->detail) << entry.path();
    }
    for (std::size_t size = 30; size < 3000; size += 37) {
        writeFile(path, bytes.substr(0, size));
        const AlmanaryLoad read = AlmanaryFile::parse(bytes.substr(0, size), path, 0);
        const AlmanaryLoad asked = AlmanaryFile::load(path, 0, inWork, 16);
        ASSERT_TRUE(!read.ok() && !asked.ok()) << size;
        EXPECT_EQ(asked.problem->detail, read.problem->detail) << size;
    }
}

}  // namespace
}  // namespace almanary::testing
