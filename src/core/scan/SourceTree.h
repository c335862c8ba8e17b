#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The folders and source files under a root folder, as the vertices of a graph: ids in
// depth-first pre-order, the entries of a folder sorted by the bytes of their names. Hidden
// entries (names starting with "."), symbolic links, files that are not source files and
// folders holding no source file at any depth are left out.
class SourceTree {
public:
    struct Entry {
        std::string name;  // the entry's own name, as bytes
        std::string path;  // absolute, as reached from the root's canonical path
        uint32_t parent;   // the root is its own parent
        bool isFile;
    };

    // Walks root, which must be an existing folder given by its canonical path; rootName names
    // the root's vertex. carryOn is asked now and then; false stops the walk (cancelled()).
    // Folders that cannot be read are left out and listed in problems().
    SourceTree(const std::string& rootPath, const std::string& rootName,
               const std::function<bool()>& carryOn = {});

    const std::vector<Entry>& entries() const { return m_entries; }
    const std::vector<std::string>& problems() const { return m_problems; }
    bool cancelled() const { return m_cancelled; }

    // Whether a file name ends in one of the suffixes of C, C++ and Objective-C sources.
    static bool isSourceName(const std::string& name);

private:
    // Adds folder's entries below the entry at index; false when nothing of it stayed.
    bool walk(uint32_t index, int depth);

    std::vector<Entry> m_entries;
    std::vector<std::string> m_problems;
    std::function<bool()> m_carryOn;
    size_t m_visited = 0;
    bool m_cancelled = false;
};
