#pragma once
// The weekly calendar: seven consecutive days side by side, each column
// headed by its weekday and date, the day's events in framed boxes under
// it, seven to a column on a page, and a footer naming the week and the
// page. Every measure is a fraction of the device's printable area, so the
// same layout serves a printer page and the preview's screen.

#include <array>

#include "model/Calendar.h"
#include "model/EventList.h"
#include "pages/DrawingDevice.h"

namespace almanary {

class WeekPage {
public:
    // Font heights in device units, or (`scaled`) for a device 1024 units
    // wide, scaled to the device's width. Print jobs use {false, 42, 26},
    // the preview {true, 14, 12}.
    struct FontHeights {
        bool scaled = false;
        int bold = 42;
        int normal = 26;
    };

    // Collects the week starting on the local date of `firstDay`.
    WeekPage(DrawingDevice& device, const EventList& events, DateTime firstDay,
             FontHeights heights);

    void setTwelveHour(bool on) { twelveHour_ = on; }

    // Collects the seven days from `firstDay` on again, page 1.
    void showWeekOf(DateTime firstDay);
    DateTime firstDay() const { return firstDay_; }

    int page() const { return page_; }
    int pageCount() const { return pageCount_; }
    // Moves one page within 1..pageCount; returns the page now current.
    int nextPage();
    int previousPage();

    // The device for the next draw (the preview's, at each repaint).
    void setDevice(DrawingDevice& device);
    // Draws the current page.
    void draw();
    // Every page, each between the device's startPage and endPage; the
    // 1-based number of the first page that failed, or 0 when all printed.
    int printAll();

private:
    // ... the implementation's own members
    DrawingDevice* device_;
    const EventList& events_;
    DateTime firstDay_;
    bool twelveHour_ = false;
    int page_ = 1;
    int pageCount_ = 1;
    std::array<EventList, 7> days_;
};

}  // namespace almanary
