#pragma once
// A document session on test doubles, for the windows that work on it.

#include <gtest/gtest.h>

#include <QObject>
#include <string>
#include <vector>

#include "document/DocumentSession.h"
#include "model/DateTimeText.h"
#include "platform/AppServices.h"
#include "support/DialogDriving.h"
#include "support/FakeClock.h"
#include "support/FakeFileChooser.h"
#include "support/FakePrompter.h"
#include "support/FakeSoundPlayer.h"
#include "support/SampleEvents.h"
#include "support/ScopedTimeZone.h"

namespace almanary::testing {

class SessionHarness : public ::testing::Test {
protected:
    SessionHarness() { DateTimeText::setTwelveHourClock(false); }

    const EventList& events() const { return session.events(); }

    // Adds an event as a file would hold it, leaving the document unchanged.
    void store(const EventSpec& shape) {
        AlmanaryDocument document = session.document();
        document.events.insert(makeEvent(shape));
        session.replace(std::move(document), session.path());
    }

    // An empty, unchanged document with these category names.
    void reset(const std::vector<std::string>& categories = {}) {
        AlmanaryDocument document;
        document.categories = CategoryList(categories);
        session.replace(std::move(document), {});
    }

    ScopedTimeZone zone{"Europe/London"};
    FakePrompter prompter;
    FakeFileChooser files;
    FakeSoundPlayer sound;
    FakeClock clock;
    AppServices services{prompter, files, sound, clock, {}, {}};
    DocumentSession session;
    QObject modalContext;  // ends pending whenModal actions
};

}  // namespace almanary::testing
