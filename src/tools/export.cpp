// ramiflex-export FILE [--depth D] [--exclude PATTERN]... [--beta B]: loads a data file,
// computes the five layouts and writes them as tab-separated lines to standard output (see
// ExportLayouts.h for the sections). With --depth or --exclude the shown graph is written
// instead of the whole one, followed by its visible and merged lines (ExportShown.h).
#include "ExportCurves.h"
#include "ExportLayouts.h"
#include "ExportShown.h"
#include "GraphLoader.h"
#include "GraphStore.h"
#include "IntegerText.h"
#include "OverviewDepth.h"
#include "ShownGraph.h"
#include "Trace.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

void usage() {
    std::fputs(
        "usage: ramiflex-export FILE [--depth D] [--exclude PATTERN]... [--beta B]"
        "   (0 <= B <= 1, D >= 0)\n",
        stderr);
}

// A bundling strength: a whole decimal number in [0, 1], nothing else.
bool parseBeta(const char* text, float& beta) {
    if (*text == '\0') return false;
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (*end != '\0' || !std::isfinite(value) || value < 0.0 || value > 1.0) return false;
    beta = static_cast<float>(value);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string fileName;
    float beta = 0.5f;  // the start value of the bundling slider
    int depth = -1;
    std::vector<std::string> patterns;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--beta") {
            if (i + 1 >= argc || !parseBeta(argv[++i], beta)) {
                usage();
                return 2;
            }
        } else if (arg == "--depth") {
            uint32_t value = 0;
            if (i + 1 >= argc || !parseStrictUnsigned(argv[++i], value) || value > INT32_MAX) {
                usage();
                return 2;
            }
            depth = static_cast<int>(value);
        } else if (arg == "--exclude") {
            if (i + 1 >= argc) {
                usage();
                return 2;
            }
            patterns.emplace_back(argv[++i]);
        } else if (arg.size() > 1 && arg[0] == '-') {
            usage();
            return 2;
        } else if (fileName.empty()) {
            fileName = arg;
        } else {
            usage();
            return 2;
        }
    }
    if (fileName.empty()) {
        usage();
        return 2;
    }

    // Standard output carries only the export; the trace lines would interleave with it.
    setTraceStream(nullptr);
    LoadResult loaded = GraphLoader::load(fileName);
    if (!loaded.ok()) {
        std::fprintf(stderr, "%s\n", loaded.error.c_str());
        return 1;
    }
    const GraphStore* graph = loaded.graph.get();
    const bool shownAsked = depth >= 0 || !patterns.empty();
    ShownGraph shown;
    if (shownAsked) {
        const std::vector<uint32_t> collapsed =
            depth >= 0 ? OverviewDepth::collapsedAt(*graph, depth) : std::vector<uint32_t>();
        shown = ShownGraph::build(*graph, patterns, collapsed);
        if (!shown.ok()) {
            std::fprintf(stderr, "%s: %s\n", fileName.c_str(), shown.error().c_str());
            return 2;
        }
        graph = shown.graph();
    }
    const exportlayouts::Views views = exportlayouts::computeViews(*graph);

    static std::vector<char> buffer(size_t(1) << 22);
    std::setvbuf(stdout, buffer.data(), _IOFBF, buffer.size());
    exportlayouts::writeLayoutSections(stdout, *graph, views);
    if (shownAsked) exportshown::writeShownLines(stdout, shown);
    View* table[5];
    for (int t = 0; t < 5; ++t) table[t] = views[t].get();
    writeCurveLines(stdout, *graph, table, beta);
    if (std::fflush(stdout) != 0) {
        std::perror("ramiflex-export: standard output");
        return 1;
    }
    // Everything is written; tearing down millions of vertices, records and rectangles one by
    // one would only delay the exit, the system takes the memory back at once.
    std::_Exit(0);
}
