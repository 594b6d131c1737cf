// Speed of iCalendar import and export on a 100,000-event calendar: the
// generator's events written as .ics, then read into an empty almanary.
#include <benchmark/benchmark.h>

#include "AlmanaryGenerator.h"
#include "ical/ICalendarExport.h"
#include "ical/ICalendarImport.h"
#include "model/Calendar.h"

namespace almanary::bench {
namespace {

constexpr std::size_t kHundredThousand = 100'000;

ExportOptions exportOptions() {
    ExportOptions options;
    options.now = *Calendar::fromLocal(2026, 12, 7, 12, 0);
    return options;
}

const std::string& calendarText() {
    static const std::string text =
        exportICalendar(generateAlmanary(kHundredThousand).events, exportOptions()).text;
    return text;
}

void BM_ExportHundredThousand(benchmark::State& state) {
    const AlmanaryDocument document = generateAlmanary(kHundredThousand);
    for (auto _ : state) {
        const ExportResult result = exportICalendar(document.events, exportOptions());
        benchmark::DoNotOptimize(result.text.data());
        state.counters["MB"] = static_cast<double>(result.text.size()) / 1e6;
    }
}
BENCHMARK(BM_ExportHundredThousand)->Unit(benchmark::kMillisecond)->Iterations(3);

// The generator draws starts at random, so a few of its events share a
// start; the import keeps the first and reports the others.
void BM_ImportHundredThousand(benchmark::State& state) {
    const std::string& text = calendarText();
    ImportOptions options;
    options.now = exportOptions().now;
    for (auto _ : state) {
        AlmanaryDocument document;
        const ImportResult result = importICalendar(text, document, options);
        const std::size_t read =
            static_cast<std::size_t>(result.report.added) + result.report.startTaken.size();
        if (result.problem || read != kHundredThousand)
            state.SkipWithError("the import did not read every event");
    }
    state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}
BENCHMARK(BM_ImportHundredThousand)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace almanary::bench

BENCHMARK_MAIN();
