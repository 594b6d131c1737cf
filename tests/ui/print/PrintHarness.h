#pragma once
// A document session whose days hold as many events as a test asks for,
// and a folder for the printed PDFs.

#include <string>
#include <utility>
#include <vector>

#include "support/PdfText.h"
#include "support/SessionHarness.h"
#include "support/TempDir.h"

namespace almanary::testing {

// A day of 2024 and how many events it holds.
struct BusyDay {
    int month, day, events;
};

class PrintHarness : public SessionHarness {
protected:
    // An unchanged document with, on each day, 30-minute events every
    // quarter hour from 8:00, noted "<month>/<day> #<n>".
    void fill(const std::vector<BusyDay>& days) {
        AlmanaryDocument document;
        for (const BusyDay& busy : days) {
            for (int i = 0, minutes = 8 * 60; i < busy.events; ++i, minutes += 15) {
                document.events.insert(
                    makeEvent({2024, busy.month, busy.day, std::to_string(minutes / 60),
                               (minutes % 60 < 10 ? "0" : "") + std::to_string(minutes % 60),
                               std::to_string(busy.month) + "/" + std::to_string(busy.day) + " #" +
                                   std::to_string(i + 1),
                               "30", "Work"}));
            }
        }
        document.events.setModified(false);
        session.replace(std::move(document), {});
    }

    TempDir dir;
};

}  // namespace almanary::testing
