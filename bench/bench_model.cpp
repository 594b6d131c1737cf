// Speed of the event model and the almanary file on large documents.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "AlmanaryGenerator.h"
#include "model/Calendar.h"

namespace almanary::bench {
namespace {

constexpr std::size_t kMillion = 1'000'000;
constexpr std::size_t kHundredThousand = 100'000;

// "Now" for the reminder check: a December evening in the middle of the
// generated years, so a good share of reminders are due.
DateTime benchNow() {
    return *Calendar::fromLocal(2026, 12, 6, 20, 0);
}

std::string tempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

// The million-event file. It is written by a child process, so this
// process never holds the generated document: the memory figure of the
// command-line program below must not include it.
const std::string& millionFile() {
    static const std::string path = [] {
        const std::string p = tempPath("almanary-bench-million.alm");
        const pid_t child = ::fork();
        if (child == 0) {
            AlmanaryDocument document = generateAlmanary(kMillion);
            ::_exit(AlmanaryFile::save(document, p) ? 1 : 0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            std::abort();
        return p;
    }();
    return path;
}

// Runs first, while this process is still small: a spawned child starts
// in this process's memory, and its peak counts it. Peak resident memory of `almanary-cli list FILE
// --day D` on the million- event file, reported per event.
void BM_CliListDayPeakMemory(benchmark::State& state) {
    const std::string& path = millionFile();
    const std::string cli = ALMANARY_CLI_PATH;
    for (auto _ : state) {
        pid_t child = 0;
        const char* argv[] = {cli.c_str(), "list", path.c_str(), "--day", "2026-12-07", nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&child, cli.c_str(), &actions, nullptr, const_cast<char**>(argv),
                        environ) != 0) {
            state.SkipWithError("cannot start almanary-cli");
            break;
        }
        posix_spawn_file_actions_destroy(&actions);
        int status = 0;
        rusage usage{};
        ::wait4(child, &status, 0, &usage);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            state.SkipWithError("list failed");
        state.counters["peak_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
        state.counters["bytes_per_event"] =
            static_cast<double>(usage.ru_maxrss) * 1024.0 / static_cast<double>(kMillion);
    }
}
BENCHMARK(BM_CliListDayPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

const EventList& hundredThousand() {
    static const EventList events = generateAlmanary(kHundredThousand).events;
    return events;
}

void BM_LoadMillionEvents(benchmark::State& state) {
    const std::string& path = millionFile();
    for (auto _ : state) {
        AlmanaryLoad load = AlmanaryFile::load(path, benchNow());
        if (!load.ok())
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(load);
    }
}
BENCHMARK(BM_LoadMillionEvents)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SaveMillionEvents(benchmark::State& state) {
    AlmanaryDocument document = generateAlmanary(kMillion);
    const std::string path = tempPath("almanary-bench-save.alm");
    for (auto _ : state) {
        if (AlmanaryFile::save(document, path))
            state.SkipWithError("save failed");
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_SaveMillionEvents)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_DueReminders(benchmark::State& state) {
    const EventList& events = hundredThousand();
    const DateTime now = benchNow();
    for (auto _ : state)
        benchmark::DoNotOptimize(events.dueReminders(now));
}
BENCHMARK(BM_DueReminders)->Unit(benchmark::kMicrosecond);

void BM_EventsOnDay(benchmark::State& state) {
    const EventList& events = hundredThousand();
    const DateTime day = *Calendar::fromLocal(2027, 3, 15, 12, 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(events.eventsOnDay(day));
}
BENCHMARK(BM_EventsOnDay)->Unit(benchmark::kMicrosecond);

void BM_InsertAndRemoveOne(benchmark::State& state) {
    EventList events = hundredThousand();
    Event event;
    event.setHour("10");
    event.setMinute("15");
    event.setDuration("30");
    event.setNotes("Inserted");
    event.setDate(*Calendar::fromLocal(2027, 6, 15, 12, 0));
    // Insert and remove again, so the list keeps its size; the pair's time
    // bounds the time of one insert.
    for (auto _ : state) {
        events.insert(event);
        events.removeByKey(event.key());
    }
}
BENCHMARK(BM_InsertAndRemoveOne)->Unit(benchmark::kMicrosecond);

void BM_SearchNotes(benchmark::State& state) {
    const EventList& events = hundredThousand();
    for (auto _ : state)
        benchmark::DoNotOptimize(events.searchNotes("dentist #12"));
}
BENCHMARK(BM_SearchNotes)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace almanary::bench

BENCHMARK_MAIN();
