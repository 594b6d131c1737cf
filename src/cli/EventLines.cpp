#include "EventLines.h"

#include "model/DateTimeText.h"

namespace almanary::cli {
namespace {

std::string timeText(const Event& event, bool twelveHour) {
    return DateTimeText::timeRangeText(event.hour(), event.minute(), event.duration(), twelveHour);
}

std::string oneLine(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out += (c == '\n' || c == '\r') ? ' ' : c;
    }
    return out;
}

}  // namespace

std::string textLine(const Event& event, bool twelveHour) {
    return DateTimeText::dateText(event.date()) + "  " + timeText(event, twelveHour) + "  " +
           oneLine(event.category()) + "  " + oneLine(event.notes());
}

std::string escapeTsvField(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (const char c : field) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string tsvLine(const Event& event, bool twelveHour) {
    return escapeTsvField(DateTimeText::dateText(event.date())) + '\t' +
           escapeTsvField(timeText(event, twelveHour)) + '\t' + escapeTsvField(event.category()) +
           '\t' + escapeTsvField(event.notes()) + '\t' + (event.remind() ? "1" : "0") + '\t' +
           DateTimeText::numberText(event.remindMinutes());
}

void printEvents(std::ostream& out, const EventList& events, const LineStyle& style) {
    events.forEach([&](const Event& event) {
        out << (style.form == LineForm::Tsv ? tsvLine(event, style.twelveHour)
                                            : textLine(event, style.twelveHour))
            << '\n';
    });
}

}  // namespace almanary::cli
