// The iCalendar import on any text, into an empty almanary. A refused text
// leaves the almanary empty; an accepted one gives events the event dialog
// could have entered (an hour, a quarter hour, an offered duration and
// lead, notes, a category of the list) that survive a save and a load.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "ical/ICalendarImport.h"
#include "model/DateTimeText.h"
#include "model/EventChoices.h"

namespace {

using namespace almanary;
using almanary::fuzz::require;

void checkEvent(const Event& event, const CategoryList& categories) {
    const int hour = DateTimeText::readNumber(event.hour());
    require(hour >= 0 && hour < EventChoices::kHourCount && event.hour() == std::to_string(hour),
            "an imported hour the dialog does not offer");
    require(EventChoices::contains(EventChoices::kMinutes, event.minute()),
            "an imported minute off the quarter hour");
    require(EventChoices::contains(EventChoices::kDurations, event.duration()),
            "an imported duration the dialog does not offer");
    require(!event.remind() || EventChoices::contains(EventChoices::kReminderLeads,
                                                      std::to_string(event.remindMinutes())),
            "an imported reminder lead the dialog does not offer");
    require(!event.notes().empty(), "an imported event without notes");
    require(event.category() == kNoCategory || categories.contains(event.category()),
            "an imported event in a category the almanary lacks");
    require(Calendar::isStorable(event.date()), "an imported date a file cannot hold");
}

void checkSaved(AlmanaryDocument& document) {
    const int count = document.events.count();
    std::string problem;
    std::string bytes = AlmanaryFile::plainStream(document, &problem);
    require(problem.empty(), "the imported almanary cannot be saved");
    AlmanaryFile::scramble(bytes);
    const AlmanaryLoad load = AlmanaryFile::parse(std::move(bytes), "saved.alm", fuzz::kNow);
    require(load.ok() && load.document->events.count() == count,
            "the imported almanary does not load back whole");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::useFixedZone();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    AlmanaryDocument document;
    ImportOptions options;
    options.now = fuzz::kNow;
    const ImportResult result = importICalendar(text, document, options);
    reportLines(result.report, ReportTense::Done);
    if (result.problem) {
        problemText(*result.problem);
        require(document.events.isEmpty() && document.categories.empty(),
                "a refused calendar changed the almanary");
        return 0;
    }
    require(document.events.count() == result.report.added, "the report miscounts the events");
    document.events.forEach([&](const Event& event) { checkEvent(event, document.categories); });
    checkSaved(document);
    return 0;
}
