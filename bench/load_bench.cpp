// Time to load a graph of 1,000,000 vertices and 2,000,000 relation edges, as RSF and as XML:
// read, check, build and compute the hierarchy. Targets: RSF <= 2 s, XML <= 5 s, peak resident
// memory <= 3 GB (the peak_rss_mb counter; run one format per process to see each on its own,
// e.g. --benchmark_filter=Rsf).
#include "GraphGenerator.h"
#include "GraphLoader.h"
#include "Trace.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>

namespace {

namespace fs = std::filesystem;

// Writes both files once per process and removes them at exit.
class BenchFiles {
public:
    BenchFiles() {
        m_dir = fs::temp_directory_path() / ("ramiflex_load_bench_" + std::to_string(getpid()));
        fs::create_directories(m_dir);
        GeneratorParams params;
        params.vertices = 1'000'000;
        params.relations = 2'000'000;
        params.fanOut = 8;
        params.maxDepth = 12;
        params.seed = 20240601;
        GraphGenerator generator(params);
        std::vector<char> buffer(1 << 22);
        {
            std::ofstream out;
            out.rdbuf()->pubsetbuf(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            out.open(rsf(), std::ios::binary);
            generator.writeRsf(out);
        }
        {
            std::ofstream out;
            out.rdbuf()->pubsetbuf(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            out.open(xml(), std::ios::binary);
            generator.writeXml(out);
        }
    }
    ~BenchFiles() {
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }
    std::string rsf() const { return (m_dir / "graph.rsf").string(); }
    std::string xml() const { return (m_dir / "graph.xml").string(); }

private:
    fs::path m_dir;
};

const BenchFiles& files() {
    static BenchFiles instance;
    return instance;
}

double peakResidentMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in kilobytes
}

void loadFile(benchmark::State& state, const std::string& path) {
    setTraceStream(nullptr);
    size_t vertices = 0, relations = 0;
    for (auto _ : state) {
        LoadResult result = GraphLoader::load(path);
        if (!result.ok()) {
            state.SkipWithError(result.error.c_str());
            break;
        }
        vertices = result.graph->vertexCount();
        relations = result.graph->relationEdgeCount();
        state.PauseTiming();  // freeing the graph is not part of loading it
        result.graph.reset();
        state.ResumeTiming();
    }
    state.counters["vertices"] = static_cast<double>(vertices);
    state.counters["relations"] = static_cast<double>(relations);
    state.counters["file_mb"] = static_cast<double>(fs::file_size(path)) / (1024.0 * 1024.0);
    state.counters["peak_rss_mb"] = peakResidentMegabytes();
}

void BM_LoadRsf(benchmark::State& state) { loadFile(state, files().rsf()); }
void BM_LoadXml(benchmark::State& state) { loadFile(state, files().xml()); }

}  // namespace

BENCHMARK(BM_LoadRsf)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_LoadXml)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

BENCHMARK_MAIN();
