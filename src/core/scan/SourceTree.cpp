#include "SourceTree.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 16> kSourceSuffixes = {
    ".h",   ".hh", ".hpp", ".hxx", ".h++", ".inl", ".ipp", ".tpp",
    ".tcc", ".c",  ".cc",  ".cpp", ".cxx", ".c++", ".m",   ".mm",
};

// Deeper folders than this cannot be reached by path anyway (PATH_MAX is 4096 bytes); the bound
// keeps the walk's recursion shallow whatever the file system holds.
constexpr int kMaxDepth = 2048;

// How many entries pass between two questions whether the walk should go on; the first entry
// asks at once.
constexpr size_t kEntriesPerCheck = 1024;

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

enum class Kind { Skip, File, Folder };

// The kind of an entry without following symbolic links; the directory's own type hint spares
// most calls to lstat.
Kind kindOf(const dirent& entry, const std::string& path) {
    unsigned char type = entry.d_type;
    if (type == DT_UNKNOWN) {
        struct stat status;
        if (lstat(path.c_str(), &status) != 0) return Kind::Skip;
        if (S_ISREG(status.st_mode)) return Kind::File;
        if (S_ISDIR(status.st_mode)) return Kind::Folder;
        return Kind::Skip;
    }
    // Devices and pipes with a source's name are skipped as well: reading one may never end.
    if (type == DT_REG) return Kind::File;
    if (type == DT_DIR) return Kind::Folder;
    return Kind::Skip;
}

}  // namespace

bool SourceTree::isSourceName(const std::string& name) {
    const size_t dot = name.rfind('.');
    // A name that is only a suffix (".h") is hidden and never asked about.
    if (dot == std::string::npos || dot == 0) return false;
    const std::string_view suffix = std::string_view(name).substr(dot);
    return std::find(kSourceSuffixes.begin(), kSourceSuffixes.end(), suffix) !=
           kSourceSuffixes.end();
}

SourceTree::SourceTree(const std::string& rootPath, const std::string& rootName,
                       const std::function<bool()>& carryOn)
    : m_carryOn(carryOn) {
    m_entries.push_back(Entry{rootName, rootPath, 0, false});
    walk(0, 0);
}

bool SourceTree::walk(uint32_t index, int depth) {
    const std::string folder = m_entries[index].path;
    if (depth >= kMaxDepth) {
        m_problems.push_back(folder + ": left out, folders are nested deeper than " +
                             std::to_string(kMaxDepth) + " levels");
        return false;
    }
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir) {
        m_problems.push_back(folder + ": cannot be read: " + std::strerror(errno));
        return false;
    }
    struct Child {
        std::string name;
        bool isFile;
    };
    std::vector<Child> children;
    while (const dirent* entry = readdir(dir.get())) {
        if (entry->d_name[0] == '.') continue;  // hidden, and the "." and ".." entries
        std::string name = entry->d_name;
        const Kind kind = kindOf(*entry, folder + '/' + name);
        if (kind == Kind::Folder || (kind == Kind::File && isSourceName(name))) {
            children.push_back(Child{std::move(name), kind == Kind::File});
        }
    }
    dir.reset();
    std::sort(children.begin(), children.end(),
              [](const Child& a, const Child& b) { return a.name < b.name; });

    bool holdsSource = false;
    for (Child& child : children) {
        if (m_cancelled) return false;
        if (m_carryOn && m_visited++ % kEntriesPerCheck == 0 && !m_carryOn()) {
            m_cancelled = true;
            return false;
        }
        const uint32_t childIndex = static_cast<uint32_t>(m_entries.size());
        std::string path = (folder == "/" ? std::string() : folder) + '/' + child.name;
        m_entries.push_back(Entry{std::move(child.name), std::move(path), index, child.isFile});
        if (child.isFile) {
            holdsSource = true;
        } else if (walk(childIndex, depth + 1)) {
            holdsSource = true;
        } else {
            // Pre-order: everything added after the folder is its own, so it goes with it.
            m_entries.resize(childIndex);
        }
    }
    return holdsSource;
}
