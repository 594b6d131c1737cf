#pragma once
// How almanary-cli prints events: one event a line, either for people
// (date, time range, category, notes) or tab-separated for scripts.

#include <ostream>
#include <string>
#include <string_view>

#include "model/Event.h"
#include "model/EventList.h"

namespace almanary::cli {

enum class LineForm { Text, Tsv };

struct LineStyle {
    LineForm form = LineForm::Text;
    bool twelveHour = false;
};

// "5/9/2001  9:00 - 10:00  Work  Notes"; line breaks in the notes become
// spaces so each event stays on one line.
std::string textLine(const Event& event, bool twelveHour);

// date, time, category, notes, reminder flag (0/1), reminder lead, with
// backslash, tab and newline written as \\, \t and \n.
std::string tsvLine(const Event& event, bool twelveHour);

std::string escapeTsvField(std::string_view field);

void printEvents(std::ostream& out, const EventList& events, const LineStyle& style);

}  // namespace almanary::cli
