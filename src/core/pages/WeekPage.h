#pragma once
// The weekly calendar: seven consecutive days side by side, each column
// headed by its weekday and date, the day's events in framed boxes under
// it, seven to a column on a page, and a footer naming the week and the
// page. Every measure is a fraction of the device's printable area, so the
// same layout serves a printer page and the preview's screen. A column's
// boxes go on further pages when more than seven, or more than fit above
// the footer, fall on its day.

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

    // The device for the next draw (the preview's, at each repaint). A
    // device is measured anew; one that fits fewer boxes above the footer
    // may change the page count (the page stays within it).
    void setDevice(DrawingDevice& device);
    // Draws the current page.
    void draw();
    // Every page, each between the device's startPage and endPage, stopping
    // at the first that fails (drawing on would print over the page before);
    // the 1-based number of that page, or 0 when all printed.
    int printAll();

private:
    // Everything a page is laid out by, taken from the device: its
    // printable area, the fonts and their line heights, and the positions
    // these give, in device units.
    struct Measures {
        int width = 0;   // H
        int height = 0;  // V
        FontSpec bold;
        FontSpec normal;
        int boldLine = 0;    // Lb
        int normalLine = 0;  // Ln
        int top = 0;         // T: a seventeenth of the height
        int left = 0;        // L: half a column unit (an eleventh of the width)
        int column = 0;      // W: seven columns share twenty half units
        int box = 0;         // B: twice the top margin
        int firstBox = 0;    // under the two lines of the column's head
        int footerX = 0;
        int footerY = 0;
        int boxesPerPage = 7;  // at most seven, and only those that end above the footer
    };
    Measures measure(DrawingDevice& device) const;
    void collect();
    int pagesNeeded() const;
    void drawColumn(int column, DateTime day);
    void drawBox(const Event& event, int x, int y);
    void drawFooter();

    DrawingDevice* device_;
    const EventList& events_;
    DateTime firstDay_;
    FontHeights heights_;
    Measures measures_;
    bool twelveHour_ = false;
    int page_ = 1;
    int pageCount_ = 1;
    std::array<EventList, 7> days_;
};

}  // namespace almanary
