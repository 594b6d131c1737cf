// Start-up speed of the program: from the process's start to the main
// window's first paint, reloading a 100,000-event almanary at start (and,
// for comparison, with nothing to reload). Each iteration starts the
// program offscreen, built with a probe that reports the time itself and
// quits (almanary-startup-probe); the time from spawning to that report is
// measured here too.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "AlmanaryGenerator.h"
#include "app/SettingsStore.h"

extern char** environ;

namespace almanary::bench {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kEventCount = 100'000;
constexpr int kReportTimeoutMs = 30'000;

struct Workspace {
    fs::path folder;
    std::string almanary;
    std::string loadingSettings;  // reloads the almanary at start
    std::string emptySettings;    // reloads nothing
    std::string runtimeFolder;    // private, so a copy on the desktop is not found
};

// Reminders that would be due today are cleared: each would open a
// reminder window at start, which is not what start-up speed is about.
AlmanaryDocument startupDocument() {
    AlmanaryDocument generated = generateAlmanary(kEventCount);
    const DateTime soon = static_cast<DateTime>(std::time(nullptr)) + 7 * 86'400;
    AlmanaryDocument document;
    document.categories = generated.categories;
    document.events.reserve(kEventCount);
    generated.events.forEach([&](const Event& event) {
        Event copy = event;
        if (copy.date() < soon)
            copy.setRemind(false);
        document.events.insert(std::move(copy));
    });
    return document;
}

bool writeSettings(const std::string& path, const std::string& almanary) {
    SettingsStore store;
    if (!store.open(path))
        return false;
    if (almanary.empty())
        return store.setNumber("LoadOnStart", 0);
    return store.setNumber("LoadOnStart", 1) && store.setText("FileName", almanary);
}

std::optional<Workspace>& workspaceSlot() {
    static std::optional<Workspace> slot;
    return slot;
}

// Made once, on first use, and removed when the program ends.
const Workspace& files() {
    std::optional<Workspace>& slot = workspaceSlot();
    if (slot)
        return *slot;
    Workspace& w = slot.emplace();
    w.folder = fs::temp_directory_path() / ("almanary-bench-startup-" + std::to_string(::getpid()));
    fs::create_directories(w.folder);
    w.almanary = (w.folder / "large.alm").string();
    w.loadingSettings = (w.folder / "loading.sqlite").string();
    w.emptySettings = (w.folder / "empty.sqlite").string();
    w.runtimeFolder = (w.folder / "runtime").string();
    fs::create_directories(w.runtimeFolder);
    ::chmod(w.runtimeFolder.c_str(), 0700);
    AlmanaryDocument document = startupDocument();
    if (AlmanaryFile::save(document, w.almanary) || !writeSettings(w.loadingSettings, w.almanary) ||
        !writeSettings(w.emptySettings, {}))
        std::abort();
    return w;
}

void removeFiles() {
    if (const std::optional<Workspace>& slot = workspaceSlot()) {
        std::error_code ignored;
        fs::remove_all(slot->folder, ignored);
    }
}

// The process environment with the given variables set or replaced.
std::vector<std::string> environment(const std::vector<std::string>& overrides) {
    std::vector<std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string variable = *entry;
        const std::string name = variable.substr(0, variable.find('='));
        bool replaced = false;
        for (const std::string& o : overrides)
            replaced = replaced || o.compare(0, name.size() + 1, name + "=") == 0;
        if (!replaced)
            result.push_back(variable);
    }
    result.insert(result.end(), overrides.begin(), overrides.end());
    return result;
}

struct StartupFigures {
    double probeMs = 0;        // the program's own report
    double spawnToReport = 0;  // measured here
};

// Reads the child's output until its first line or the time limit.
std::optional<std::string> firstLine(int fd) {
    std::string line;
    char buffer[256];
    while (line.find('\n') == std::string::npos) {
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, kReportTimeoutMs) <= 0)
            return std::nullopt;
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0)
            return std::nullopt;
        line.append(buffer, static_cast<std::size_t>(got));
    }
    return line.substr(0, line.find('\n'));
}

std::optional<StartupFigures> startOnce(const std::string& settings, std::string& problem) {
    const Workspace& w = files();
    const std::string log = (w.folder / "stderr.txt").string();
    std::vector<std::string> env = environment({
        "QT_QPA_PLATFORM=offscreen",
        "ALMANARY_SETTINGS=" + settings,
        "ALMANARY_SKINS=" + (w.folder / "Skins").string(),
        "XDG_RUNTIME_DIR=" + w.runtimeFolder,
    });
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::string program = ALMANARY_GUI_PATH;
    char* argv[] = {program.data(), nullptr};

    const auto spawned = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int spawnError =
        posix_spawn(&child, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (spawnError != 0) {
        ::close(out[0]);
        problem = "cannot start " + program + ": " + std::strerror(spawnError);
        return std::nullopt;
    }
    const std::optional<std::string> line = firstLine(out[0]);
    const auto reported = std::chrono::steady_clock::now();
    if (!line)
        ::kill(child, SIGKILL);
    ::close(out[0]);
    int status = 0;
    ::waitpid(child, &status, 0);

    StartupFigures figures;
    if (!line || std::sscanf(line->c_str(), "startup-ms %lf", &figures.probeMs) != 1) {
        std::ifstream errors(log);
        problem = "no start-up report; the program said: " +
                  std::string(std::istreambuf_iterator<char>(errors), {});
        return std::nullopt;
    }
    figures.spawnToReport = std::chrono::duration<double, std::milli>(reported - spawned).count();
    return figures;
}

// Argument 1: reload the 100,000-event almanary; 0: start with nothing.
void BM_StartupToFirstPaint(benchmark::State& state) {
    const Workspace& w = files();
    const std::string& settings = state.range(0) != 0 ? w.loadingSettings : w.emptySettings;
    double probeTotal = 0;
    double spawnTotal = 0;
    for (auto _ : state) {
        std::string problem;
        const std::optional<StartupFigures> figures = startOnce(settings, problem);
        if (!figures) {
            state.SkipWithError(problem.c_str());
            return;
        }
        state.SetIterationTime(figures->probeMs / 1000.0);
        probeTotal += figures->probeMs;
        spawnTotal += figures->spawnToReport;
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["probe_ms"] = probeTotal / runs;
    state.counters["spawn_to_report_ms"] = spawnTotal / runs;
}
BENCHMARK(BM_StartupToFirstPaint)
    ->ArgName("events100k")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

}  // namespace
}  // namespace almanary::bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    almanary::bench::removeFiles();
    return 0;
}
