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
    ResultsPage(DrawingDevice& device, const EventList& results, ResultsHeading heading,
                bool twelveHour);

    int pageCount() const;
    // Draws page `page` (1-based).
    void draw(int page);
    // Every page, each between startPage and endPage, stopping at the
    // first that fails; its 1-based number, or 0 when all printed.
    int printAll();

private:
    // ... the implementation's own members
};

}  // namespace almanary
