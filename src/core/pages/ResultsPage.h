#pragma once
// The events View Events found, printed: eight framed boxes a page under
// a header that repeats what was searched for, the page number at the foot.

#include <string>

#include "model/EventList.h"
#include "pages/DrawingDevice.h"

namespace almanary {

// What the events were found by, and the text shown for it: the date and
// category as the window shows them, the words searched for.
struct ResultsHeading {
    enum class Kind { None, Date, Category, Comment };
    Kind kind = Kind::None;
    std::string text;
};

class ResultsPage {
public:
    // Measures the device with its default font; `results` must outlive the page.
    ResultsPage(DrawingDevice& device, const EventList& results, ResultsHeading heading,
                bool twelveHour);

    // 0 when there is nothing to print.
    int pageCount() const;
    // Draws page `page` (1-based).
    void draw(int page);
    // Every page, each between startPage and endPage, stopping at the
    // first that fails; its 1-based number, or 0 when all printed.
    int printAll();

private:
    // The positions every page shares, in device units.
    struct Measures {
        int height = 0;        // V
        int line = 0;          // LH: the default font's line height
        int headerLine = 0;    // the header font's line height
        int left = 0;          // a fifth of the width
        int right = 0;         // four fifths of the width
        int headerX = 0;       // half the left edge
        int headerRight = 0;   // as far from the right as headerX from the left
        int headerY = 0;       // an eleventh of the height
        int firstBox = 0;      // two header lines under the header
        int footerY = 0;       // 95 % of the height
        int boxesPerPage = 8;  // at most eight, and only those that end above the page number
    };
    Measures measure() const;
    std::string headerText() const;
    // Draws the box of one event from `top`; returns its bottom.
    int drawBox(const Event& event, int top);

    DrawingDevice& device_;
    const EventList& results_;
    ResultsHeading heading_;
    bool twelveHour_;
    Measures measures_;
};

}  // namespace almanary
