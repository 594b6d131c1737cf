// The share server under load: 32 clients on loopback loading a 5 MB
// almanary again and again, each over a connection of its own, as the
// protocol has it. Requests per second and MB/s are the figures to set
// beside nginx serving the same file (bench/share_vs_nginx.sh).
//
// ALMANARY_BENCH_DIR, when set, is where the almanary and the settings
// store are made (and left, for the nginx run); else a temporary folder.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "AlmanaryGenerator.h"
#include "app/SettingsStore.h"
#include "share/ShareClient.h"
#include "share/ShareHost.h"
#include "share/ShareRegistry.h"
#include "share/ShareServer.h"

namespace almanary::bench {
namespace {

constexpr std::size_t kTargetBytes = 5 * 1000 * 1000;
constexpr int kClients = 32;

std::filesystem::path benchFolder() {
    if (const char* folder = std::getenv("ALMANARY_BENCH_DIR")) {
        std::filesystem::create_directories(folder);
        return folder;
    }
    return std::filesystem::temp_directory_path();
}

// The server, sharing a generated almanary of at least 5 MB as "Bench".
struct BenchServer {
    BenchServer() {
        const std::filesystem::path folder = benchFolder();
        const std::string file = (folder / "share-bench.alm").string();
        std::size_t events = 100'000;
        for (;;) {
            AlmanaryDocument document = generateAlmanary(events);
            if (AlmanaryFile::save(document, file))
                std::abort();
            if (std::filesystem::file_size(file) >= kTargetBytes)
                break;
            events += events / 4;
        }
        bytes = std::filesystem::file_size(file);
        const std::string settings = (folder / "share-bench-settings.sqlite").string();
        SettingsStore store;
        if (!store.open(settings) || !ShareRegistry(store).publish("Bench", file))
            std::abort();
        server.emplace(host, settings);
        if (server->start(0))
            std::abort();
    }

    WindowlessHost host;
    std::optional<ShareServer> server;
    std::uintmax_t bytes = 0;
};

}  // namespace

BenchServer& benchServer() {
    static BenchServer server;
    return server;
}

namespace {

void BM_ShareLoad32Clients(benchmark::State& state) {
    BenchServer& bench = benchServer();
    const ServerAddress address{"127.0.0.1", bench.server->port()};
    std::int64_t turnedAway = 0;
    for (auto _ : state) {
        ShareClient::Result result;
        // A connection beyond the server's 64 exchanges under way is closed
        // unanswered; on a loaded machine finished handlers can linger, so
        // such a load is counted and tried again.
        while ((result = ShareClient(address).fetch("Bench")).outcome ==
               ShareClient::Outcome::CannotConnect)
            ++turnedAway;
        if (result.outcome != ShareClient::Outcome::Done || result.content.size() != bench.bytes) {
            state.SkipWithError("a load failed");
            break;
        }
    }
    state.counters["turned_away"] = benchmark::Counter(static_cast<double>(turnedAway));
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bench.bytes));
    state.counters["file_MB"] =
        benchmark::Counter(static_cast<double>(bench.bytes) / 1e6, benchmark::Counter::kAvgThreads);
}
BENCHMARK(BM_ShareLoad32Clients)->Threads(kClients)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace almanary::bench

// The almanary is made and the server started before any timing begins.
int main(int argc, char** argv) {
    almanary::bench::benchServer();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
