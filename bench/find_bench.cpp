// Finding vertices by name among 1,000,000: building the index once per opened graph, and the
// queries a search field makes on each key press. Names are made of random syllables and a
// number ("kamoru_417", "ti.sanek42"), so that prefixes are shared as in real module paths.
#include "VertexNameIndex.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr size_t kVertices = 1'000'000;
constexpr size_t kLimit = 50;  // what the search field asks for

std::vector<std::string> makeNames() {
    const char* syllables[] = {"ka", "mo", "ru", "ti", "sa", "ne", "lo", "vi",
                               "da", "pe", "xu", "zo", "fi", "gu", "he", "jo"};
    const char separators[] = {'_', '.', '/', '-'};
    uint64_t state = 12345;
    auto next = [&state] {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<uint32_t>(state >> 33);
    };
    std::vector<std::string> names(kVertices);
    for (std::string& name : names) {
        const uint32_t parts = 2 + next() % 4;
        for (uint32_t p = 0; p < parts; ++p) {
            name += syllables[next() % 16];
            if (p == 1) name += separators[next() % 4];
        }
        name += std::to_string(next() % 1000);
    }
    return names;
}

const std::vector<std::string>& names() {
    static const std::vector<std::string> list = makeNames();
    return list;
}

const VertexNameIndex& index() {
    static const VertexNameIndex built(names());
    return built;
}

void BM_Build(benchmark::State& state) {
    for (auto _ : state) {
        VertexNameIndex built(names());
        benchmark::DoNotOptimize(built.size());
    }
}
BENCHMARK(BM_Build)->Unit(benchmark::kMillisecond);

// The first letters typed: many names start with them, the first 50 are listed.
void BM_FindShortPrefix(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(index().find("ka", kLimit));
}
BENCHMARK(BM_FindShortPrefix)->Unit(benchmark::kMicrosecond);

// A longer prefix with few matches: the search for text inside names then scans all of them.
void BM_FindRareText(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(index().find("kamoru_lo", kLimit));
}
BENCHMARK(BM_FindRareText)->Unit(benchmark::kMicrosecond);

// Text that begins no name and is in none: the worst case, one scan of every name.
void BM_FindAbsentText(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(index().find("qq", kLimit));
}
BENCHMARK(BM_FindAbsentText)->Unit(benchmark::kMicrosecond);

void BM_PrefixOnly(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(index().startingWith("kamoru_lo", kLimit));
}
BENCHMARK(BM_PrefixOnly)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
