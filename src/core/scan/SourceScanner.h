#pragma once

#include "ScanResult.h"

#include <functional>
#include <string>
#include <vector>

// What to scan: the root folder, the include folders given by hand and an optional compilation
// database whose include folders follow them.
struct ScanOptions {
    std::string root;
    std::vector<std::string> includeFolders;
    std::string compileCommands;
    // Threads that read files; 0 for one per processor.
    unsigned threads = 0;
    // Largest source file read; a larger one is no source a person wrote, and is skipped.
    size_t maxFileBytes = size_t(64) << 20;
};

// Turns a source folder into a graph: folders and source files as the tree, each file's
// #include, #include_next and #import of another file of the tree as a relation edge. Files are
// read on parallel threads; a thread that fails (memory running out, say) ends the scan with an
// error rather than the process.
class SourceScanner {
public:
    // carryOn is asked now and then from the calling thread; false stops the scan, which then
    // ends cancelled.
    static ScanResult scan(const ScanOptions& options, const std::function<bool()>& carryOn = {});

    // How many skipped names the result lists.
    static constexpr size_t kTopSkipped = 10;

private:
    static void scanAll(const ScanOptions& options, const std::function<bool()>& carryOn,
                        ScanResult& result);
};
