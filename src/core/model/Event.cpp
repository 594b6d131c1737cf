#include "model/Event.h"

#include "model/DateTimeText.h"

namespace almanary {
namespace {

// The start of an event on the whole-minute scale, taken from its key.
std::int64_t startMinuteOf(const StartKey& key) {
    return Calendar::minuteOf(Calendar::dayNumber(key.year, key.month, key.day), key.hour,
                              key.minute);
}

}  // namespace

void Event::setDate(DateTime value) {
    date_ = value;
    recomputeKey();
}

void Event::setDuration(std::string_view value) {
    duration_ = ShortText(value);
    durationMinutes_ = DateTimeText::readNumber(duration_.view());
}

bool Event::markOpen() {
    if (open_)
        return false;
    open_ = true;
    return true;
}

void Event::recomputeKey() {
    const CalendarDate local = Calendar::localDate(date_);
    key_ = StartKey{local.year, local.month, local.day, DateTimeText::readNumber(hour_.view()),
                    DateTimeText::readNumber(minute_.view())};
    startMinute_ = startMinuteOf(key_);
}

bool Event::sameContent(const Event& other) const {
    return key_ == other.key_ && duration_ == other.duration_ && notes_ == other.notes_ &&
           category_ == other.category_ && remind_ == other.remind_ &&
           remindMinutes_ == other.remindMinutes_;
}

}  // namespace almanary
