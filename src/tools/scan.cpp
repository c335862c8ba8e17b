// ramiflex-scan DIR [-I FOLDER]... [--compile-commands FILE] [-o OUT.rsf | -o OUT.xml]: turns a
// source folder into a graph file, folders and source files as the tree and #include lines as
// relation edges. RSF on standard output by default; the figures of the scan on standard error.
#include "GraphWriter.h"
#include "SourceScanner.h"
#include "Trace.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: ramiflex-scan DIR [-I FOLDER]... [--compile-commands FILE] [-o OUT.rsf | -o OUT.xml]\n";

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    ScanOptions options;
    std::string output;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "-I" && hasValue) {
            options.includeFolders.push_back(argv[++i]);
        } else if (arg.size() > 2 && arg.compare(0, 2, "-I") == 0) {
            options.includeFolders.push_back(arg.substr(2));
        } else if (arg == "--compile-commands" && hasValue && options.compileCommands.empty()) {
            options.compileCommands = argv[++i];
        } else if (arg == "-o" && hasValue && output.empty()) {
            output = argv[++i];
            if (!endsWith(output, ".rsf") && !endsWith(output, ".xml")) {
                std::fprintf(stderr, "ramiflex-scan: %s: the output must end in .rsf or .xml\n",
                             output.c_str());
                return 2;
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            return usage();
        } else if (options.root.empty()) {
            options.root = arg;
        } else {
            return usage();
        }
    }
    if (options.root.empty()) return usage();

    setTraceStream(nullptr);
    const ScanResult result = SourceScanner::scan(options);
    if (!result.ok()) {
        std::fprintf(stderr, "ramiflex-scan: %s\n", result.error.c_str());
        return 1;
    }
    std::fputs(result.report().c_str(), stderr);
    const std::unique_ptr<GraphStore> graph = result.toGraph();
    std::string problem;
    if (output.empty()) {
        std::ios::sync_with_stdio(false);
        problem = GraphWriter::write(*graph, GraphWriter::Format::Rsf, std::cout);
        std::cout.flush();
        if (problem.empty() && !std::cout) problem = "standard output: cannot be written";
    } else {
        problem = GraphWriter::writeFile(*graph, output);
    }
    if (!problem.empty()) {
        std::fprintf(stderr, "ramiflex-scan: %s\n", problem.c_str());
        return 1;
    }
    // Everything is written; the system takes the memory back at once.
    std::_Exit(0);
}
