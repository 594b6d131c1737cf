#include "EventLines.h"

#include "model/DateTimeText.h"

namespace almanary::cli {
namespace {

std::string TimeText(const Event& event, bool twelveHour) {
    return DateTimeText::TimeRangeText(event.hour(), event.minute(), event.duration(), twelveHour);
}

std::string OneLine(std::string_view text) {
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

std::string TextLine(const Event& event, bool twelveHour) {
    return DateTimeText::DateText(event.date()) + "  " + TimeText(event, twelveHour) + "  " +
           OneLine(event.category()) + "  " + OneLine(event.notes());
}

std::string EscapeTsvField(std::string_view field) {
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

std::string TsvLine(const Event& event, bool twelveHour) {
    return EscapeTsvField(DateTimeText::DateText(event.date())) + '\t' +
           EscapeTsvField(TimeText(event, twelveHour)) + '\t' + EscapeTsvField(event.category()) +
           '\t' + EscapeTsvField(event.notes()) + '\t' + (event.remind() ? "1" : "0") + '\t' +
           DateTimeText::NumberText(event.remindMinutes());
}

void PrintEvents(std::ostream& out, const EventList& events, const LineStyle& style) {
    events.ForEach([&](const Event& event) {
        out << (style.form == LineForm::Tsv ? TsvLine(event, style.twelveHour)
                                            : TextLine(event, style.twelveHour))
            << '\n';
    });
}

}  // namespace almanary::cli
