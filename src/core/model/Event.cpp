#include "model/Event.h"

#include "model/DateTimeText.h"

namespace almanary {
namespace {

// The start of an event on the whole-minute scale, taken from its key.
std::int64_t StartMinuteOf(const StartKey& key) {
    return Calendar::MinuteOf(Calendar::DayNumber(key.year, key.month, key.day), key.hour,
                              key.minute);
}

}  // namespace

void Event::setDate(DateTime value) {
    date_ = value;
    RecomputeKey();
}

void Event::setDuration(std::string_view value) {
    duration_ = ShortText(value);
    durationMinutes_ = DateTimeText::ReadNumber(duration_.view());
}

bool Event::MarkOpen() {
    if (open_)
        return false;
    open_ = true;
    return true;
}

void Event::RecomputeKey() {
    const CalendarDate local = Calendar::LocalDate(date_);
    key_ = StartKey{local.year, local.month, local.day, DateTimeText::ReadNumber(hour_.view()),
                    DateTimeText::ReadNumber(minute_.view())};
    startMinute_ = StartMinuteOf(key_);
}

bool Event::SameContent(const Event& other) const {
    return key_ == other.key_ && duration_ == other.duration_ && notes_ == other.notes_ &&
           category_ == other.category_ && remind_ == other.remind_ &&
           remindMinutes_ == other.remindMinutes_;
}

}  // namespace almanary
