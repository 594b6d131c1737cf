// The reminder check as timer 1 runs it every five seconds, on a
// 100,000-event almanary: the due list is worked out and handed to the
// alert. Measured when nothing new is due: every event whose reminder has
// come is already open in its window (the steady state once the pop-ups
// are up), and, for comparison, when no reminder has come at all.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>

#include "AlmanaryGenerator.h"
#include "UnattendedSeams.h"
#include "app/MainWindow.h"
#include "document/DocumentSession.h"
#include "model/Calendar.h"
#include "platform/AppServices.h"

namespace almanary::bench {
namespace {

constexpr std::size_t kEventCount = 100'000;

// The generator may draw one start twice, which the program never enters
// (two events at one start share one open mark). Keeps the first event of
// each start, then thins the list evenly to kEventCount events.
AlmanaryDocument uniqueStarts(AlmanaryDocument generated) {
    std::vector<const Event*> unique;
    generated.events.forEach([&](const Event& event) {
        if (unique.empty() || !(unique.back()->key() == event.key()))
            unique.push_back(&event);
    });
    if (unique.size() < kEventCount)
        std::abort();  // too few distinct starts to measure what is claimed
    AlmanaryDocument document;
    document.categories = generated.categories;
    document.events.reserve(kEventCount);
    for (std::size_t i = 0; i < kEventCount; ++i)
        document.events.insert(*unique[i * unique.size() / kEventCount]);
    document.events.setModified(false);
    return document;
}

// A main window on the generated almanary, its settings in a scratch
// folder; it opens no window of its own here.
struct Scene {
    explicit Scene(DateTime now)
        : folder(std::filesystem::temp_directory_path() / "almanary-bench-reminders"), clock(now) {
        folder += std::to_string(::getpid());
        std::filesystem::create_directories(folder);
        window = std::make_unique<MainWindow>(AppServices{prompter,
                                                          files,
                                                          colours,
                                                          printers,
                                                          sound,
                                                          clock,
                                                          (folder / "settings.sqlite").string(),
                                                          (folder / "Skins").string(),
                                                          {}});
        window->session().replace(uniqueStarts(generateAlmanary(kEventCount + kEventCount / 8)),
                                  "generated.alm");
    }
    ~Scene() {
        window.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    // Marks open every event due now, as their pop-ups would; how many.
    int openEverythingDue() {
        DocumentSession& session = window->session();
        const EventList due = session.events().dueReminders(clock.now());
        int opened = 0;
        due.forEach([&](const Event& event) { opened += session.markOpen(event.key()); });
        return opened;
    }

    std::filesystem::path folder;
    DecliningPrompter prompter;
    NoFileChooser files;
    NoColourChooser colours;
    NoPrinterChooser printers;
    SilentSoundPlayer sound;
    FixedClock clock;
    std::unique_ptr<MainWindow> window;
};

void runChecks(benchmark::State& state, Scene& scene, int alreadyOpen) {
    for (auto _ : state)
        scene.window->onReminderTimer();
    if (!scene.window->session().windows(WindowRole::EventWindow).isEmpty())
        state.SkipWithError("a reminder window opened");
    state.counters["events"] = static_cast<double>(scene.window->session().events().count());
    state.counters["already_open"] = alreadyOpen;
}

// A December evening midway through the generated years: tens of thousands
// of reminders have come, every one of them open.
void BM_ReminderCheckAllDueAlreadyOpen(benchmark::State& state) {
    Scene scene(*Calendar::fromLocal(2026, 12, 6, 20, 0));
    const int open = scene.openEverythingDue();
    runChecks(state, scene, open);
}
BENCHMARK(BM_ReminderCheckAllDueAlreadyOpen)->Unit(benchmark::kMicrosecond);

// Before the first generated event: nothing is due.
void BM_ReminderCheckNothingDue(benchmark::State& state) {
    Scene scene(*Calendar::fromLocal(2019, 1, 1, 8, 0));
    runChecks(state, scene, 0);
}
BENCHMARK(BM_ReminderCheckNothingDue)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace almanary::bench
