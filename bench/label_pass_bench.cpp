// Times the label pass against a floor: a bare loop making exactly the host and
// undecorator calls the pass must make, over the same range and labels, and nothing else.
// Also counts heap allocations per label. Prints pass / floor per case and checks the
// targets; exits 1 if one is missed. Not part of the test suite: timings need a quiet run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "bench/bench_host.h"
#include "core/label_pass.h"

namespace {
std::uint64_t Allocations = 0;
}  // namespace

void* operator new(std::size_t size) {
    ++Allocations;
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

namespace {

constexpr Address Base = 0x10000000;
constexpr Address Size = 16u << 20;

struct Case {
    const char* name;
    HostKind host;
    Address every;  // a label every this many bytes; 0 for none
    double target;  // highest acceptable pass / floor; 0 for none
};
// The targets hold against a host that works as a debugger does; the flat host, cheaper
// than any real one, shows the plugin's own cost at its starkest and carries no target.
constexpr Case Cases[] = {
    {"empty", HostKind::NameTable, 0, 1.10},
    {"label_every_64", HostKind::NameTable, 64, 1.25},
    {"label_every_16", HostKind::NameTable, 16, 1.25},
    {"flat_empty", HostKind::Flat, 0, 0},
    {"flat_every_64", HostKind::Flat, 64, 0},
    {"flat_every_16", HostKind::Flat, 16, 0},
};

// The calls the pass cannot avoid, with the pass's default flags.
void Floor() {
    Address base = 0;
    Address size = 0;
    QueryRange(&base, &size);
    char label[TextBufferSize];
    char output[TextBufferSize];
    for (Address i = 0; i != size; ++i) {
        if (ReadName(base + i, NameTypeLabel, label) == 0) continue;
        if (UnDecorateSymbolName(label, output, TextBufferSize, UndecorateNameOnly) != 0) {
            WriteName(base + i, NameTypeLabel, output);
        }
    }
}

void Run(benchmark::State& state, void (*body)(), const Case* c) {
    PlaceLabels(c->host, Base, Size, c->every);
    for (auto _ : state) body();
    state.counters["per_address"] = benchmark::Counter(
        Size, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Keeps the fastest repetition of each benchmark, by name, for the ratios.
class BestTimes : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> best;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            const std::string name = run.run_name.function_name;
            const double time = run.GetAdjustedRealTime();
            best[name] = best.count(name) ? std::min(best[name], time) : time;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    for (const Case& c : Cases) {
        for (const char* kind : {"floor", "pass"}) {
            benchmark::RegisterBenchmark((std::string(kind) + "/" + c.name).c_str(), Run,
                                         kind[0] == 'f' ? Floor : DemangleLabels, &c)
                ->Unit(benchmark::kMillisecond)
                ->Repetitions(9);
        }
    }
    // Floor and pass repetitions run shuffled together, so a noisy spell hits both alike;
    // the fastest repetition of each is compared.
    std::vector<char*> args(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave.data());
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    BestTimes reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    bool met = true;
    std::printf("\n%-16s %12s %12s %7s %7s %13s\n", "case", "pass ns/addr", "floor ns/addr",
                "ratio", "target", "allocs/label");
    for (const Case& c : Cases) {
        PlaceLabels(c.host, Base, Size, c.every);
        Allocations = 0;
        DemangleLabels();
        const std::uint64_t allocations = Allocations;
        const std::uint64_t labels = Bench().undecorations;
        const double perLabel =
            labels ? static_cast<double>(allocations) / static_cast<double>(labels) : 0.0;
        const double pass = reporter.best["pass/" + std::string(c.name)];
        const double floor = reporter.best["floor/" + std::string(c.name)];
        const double ratio = pass / floor;
        // Addresses without a label must not allocate; a label at most its working copy.
        const bool ok =
            (c.target == 0 || ratio <= c.target) && (labels ? perLabel <= 1.0 : allocations == 0);
        met = met && ok;
        char target[16] = "-";
        if (c.target != 0) std::snprintf(target, sizeof target, "%.2f", c.target);
        std::printf("%-16s %12.3f %12.3f %7.3f %7s %6.3f (%llu) %s\n", c.name, pass * 1e6 / Size,
                    floor * 1e6 / Size, ratio, target, perLabel,
                    static_cast<unsigned long long>(allocations), ok ? "ok" : "MISSED");
    }
    std::printf("\n%s\n", met ? "all targets met" : "TARGET MISSED");
    return met ? 0 : 1;
}
