#include "SourceScanner.h"

#include "CompileCommands.h"
#include "DirectiveFinder.h"
#include "IncludeResolver.h"
#include "SourceTree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <exception>
#include <filesystem>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <unordered_set>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// How often the calling thread asks whether to go on while files are read.
constexpr auto kCheckInterval = std::chrono::milliseconds(20);

// What one file's directives came to.
struct FileScan {
    std::vector<uint32_t> targets;  // resolved, in directive order, repeats included
    size_t directives = 0;
    std::string problem;  // set when the file could not be read
};

std::string errnoText() { return std::strerror(errno); }

// The whole of a file into text, or a problem naming the file.
std::string readFile(const std::string& path, size_t maxBytes, std::string& text) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return path + ": cannot be read: " + errnoText();
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat status;
    if (fstat(fd, &status) != 0) return path + ": cannot be read: " + errnoText();
    // Replaced by a device or pipe since the walk: reading it might never end.
    if (!S_ISREG(status.st_mode)) return path + ": cannot be read: it is not a regular file";
    const size_t size = static_cast<size_t>(status.st_size);
    if (size > maxBytes) {
        return path + ": skipped, the file is " + std::to_string(size) +
               " bytes, more than the limit of " + std::to_string(maxBytes);
    }
    text.resize(size);
    size_t filled = 0;
    while (filled < size) {
        const ssize_t got = ::read(fd, text.data() + filled, size - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return path + ": cannot be read: " + errnoText();
        if (got == 0) break;  // shrunk since fstat
        filled += static_cast<size_t>(got);
    }
    text.resize(filled);
    return {};
}

// The name of the root's vertex: the folder's own base name as given, so that "." and "dir/"
// are named after the folder they mean.
std::string rootName(const std::string& root) {
    fs::path path = fs::absolute(root).lexically_normal();
    if (!path.has_filename()) path = path.parent_path();
    const std::string name = path.filename().string();
    return name.empty() ? path.string() : name;
}

// An existing folder's canonical path, or a problem naming it.
std::string checkFolder(const std::string& folder, std::string& canonical) {
    std::error_code error;
    const fs::file_status status = fs::status(folder, error);
    if (!fs::exists(status)) return folder + ": no such folder";
    if (!fs::is_directory(status)) return folder + ": not a folder";
    canonical = fs::canonical(folder, error).string();
    if (error) return folder + ": " + error.message();
    return {};
}

// The folders searched for an included name, in order, each once.
std::vector<std::string> includeFolders(const std::string& canonicalRoot,
                                        const std::vector<std::string>& given,
                                        const std::vector<std::string>& fromCommands) {
    std::vector<std::string> folders{fs::path(canonicalRoot).parent_path().string(), canonicalRoot};
    folders.insert(folders.end(), given.begin(), given.end());
    for (const std::string& folder : fromCommands) {
        std::error_code error;
        const fs::path canonical = fs::weakly_canonical(folder, error);
        folders.push_back(error ? folder : canonical.string());
    }
    // A compilation database of a large tree names thousands of folders.
    std::vector<std::string> unique;
    std::unordered_set<std::string> seen;
    for (std::string& folder : folders) {
        if (seen.insert(folder).second) unique.push_back(std::move(folder));
    }
    return unique;
}

// How often each skipped name was met, written as included (with its quotes or brackets).
using SkippedCounts = std::unordered_map<std::string, size_t>;

// What one reading thread keeps: a large tree skips millions of directives but has few distinct
// names, and a name's answer from the include folders is the same for every file, so each
// distinct name costs one search through the folders, however many there are.
struct ReaderState {
    SkippedCounts skipped;
    std::unordered_map<std::string, uint32_t> inIncludeFolders;
};

// Reads files and resolves their directives, taking the next file from a shared counter.
class FileReaders {
public:
    FileReaders(const std::vector<SourceTree::Entry>& entries, const std::vector<uint32_t>& files,
                const IncludeResolver& resolver, size_t maxFileBytes)
        : m_entries(entries),
          m_files(files),
          m_resolver(resolver),
          m_maxFileBytes(maxFileBytes),
          m_scans(files.size()) {}

    // Runs on threads threads besides the calling one, which asks carryOn now and then.
    // Rethrows the first failure of any thread once all have ended.
    void run(unsigned threads, const std::function<bool()>& carryOn) {
        std::vector<std::thread> helpers;
        m_states.resize(threads + 1);
        // Reserved before any thread starts: a list growing past its memory with threads
        // running would end the process on unwinding.
        helpers.reserve(threads);
        for (unsigned i = 1; i <= threads; ++i) {
            try {
                helpers.emplace_back([this, i] { work(m_states[i], {}); });
            } catch (...) {
                break;  // fewer helpers; the calling thread reads whatever is left
            }
        }
        work(m_states[0], carryOn);
        for (std::thread& helper : helpers) helper.join();
        if (m_failure) std::rethrow_exception(m_failure);
    }

    bool cancelled() const { return m_cancelled; }
    std::vector<FileScan>& scans() { return m_scans; }
    std::vector<ReaderState>& states() { return m_states; }

private:
    void work(ReaderState& state, const std::function<bool()>& carryOn) noexcept {
        try {
            std::string text;
            std::vector<Directive> directives;
            auto nextCheck = Clock::now();  // the first file asks at once
            while (!m_stop) {
                if (carryOn && Clock::now() >= nextCheck) {
                    nextCheck = Clock::now() + kCheckInterval;
                    if (!carryOn()) {
                        m_cancelled = true;
                        m_stop = true;
                        break;
                    }
                }
                const size_t index = m_next++;
                if (index >= m_files.size()) break;
                scanFile(m_entries[m_files[index]], text, directives, m_scans[index], state);
            }
        } catch (...) {
            std::lock_guard<std::mutex> lock(m_failureMutex);
            if (!m_failure) m_failure = std::current_exception();
            m_stop = true;
        }
    }

    void scanFile(const SourceTree::Entry& file, std::string& text,
                  std::vector<Directive>& directives, FileScan& scan, ReaderState& state) const {
        scan.problem = readFile(file.path, m_maxFileBytes, text);
        if (!scan.problem.empty()) return;
        directives.clear();
        DirectiveFinder::find(text, directives);
        scan.directives = directives.size();
        const std::string& folder = m_entries[file.parent].path;
        for (const Directive& directive : directives) {
            uint32_t target = directive.angle ? IncludeResolver::kNone
                                              : m_resolver.inOwnFolder(folder, directive.name);
            if (target == IncludeResolver::kNone) {
                auto [known, isNew] = state.inIncludeFolders.try_emplace(
                    std::string(directive.name), IncludeResolver::kNone);
                if (isNew) known->second = m_resolver.inIncludeFolders(directive.name);
                target = known->second;
            }
            if (target != IncludeResolver::kNone) {
                scan.targets.push_back(target);
            } else {
                std::string name(1, directive.angle ? '<' : '"');
                name.append(directive.name);
                name += directive.angle ? '>' : '"';
                ++state.skipped[name];
            }
        }
    }

    const std::vector<SourceTree::Entry>& m_entries;
    const std::vector<uint32_t>& m_files;
    const IncludeResolver& m_resolver;
    const size_t m_maxFileBytes;
    std::vector<FileScan> m_scans;
    std::vector<ReaderState> m_states;  // one per thread, the calling thread's first
    std::atomic<size_t> m_next{0};
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_cancelled{false};
    std::mutex m_failureMutex;
    std::exception_ptr m_failure;
};

// The skipped names by count, most frequent first, ties by name.
void countSkipped(std::vector<ReaderState>& byThread, ScanResult& result) {
    SkippedCounts counts = std::move(byThread[0].skipped);
    for (size_t thread = 1; thread < byThread.size(); ++thread) {
        for (const auto& [name, count] : byThread[thread].skipped) counts[name] += count;
    }
    for (const auto& [name, count] : counts) result.skipped += count;
    result.distinctSkipped = counts.size();
    std::vector<std::pair<std::string, size_t>> ranked(counts.begin(), counts.end());
    const size_t shown = std::min(ranked.size(), SourceScanner::kTopSkipped);
    std::partial_sort(ranked.begin(), ranked.begin() + shown, ranked.end(),
                      [](const auto& a, const auto& b) {
                          return a.second != b.second ? a.second > b.second : a.first < b.first;
                      });
    ranked.resize(shown);
    result.topSkipped = std::move(ranked);
}

}  // namespace

ScanResult SourceScanner::scan(const ScanOptions& options, const std::function<bool()>& carryOn) {
    const auto start = Clock::now();
    ScanResult result;
    try {
        scanAll(options, carryOn, result);
    } catch (const std::bad_alloc&) {
        result = ScanResult();
        result.error = options.root + ": there is not enough memory to scan it";
    } catch (const std::exception& failure) {
        result = ScanResult();
        result.error = options.root + ": the scan failed: " + failure.what();
    }
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return result;
}

void SourceScanner::scanAll(const ScanOptions& options, const std::function<bool()>& carryOn,
                            ScanResult& result) {
    std::string root;
    if (std::string problem = checkFolder(options.root, root); !problem.empty()) {
        result.error = problem;
        return;
    }
    if (DIR* dir = opendir(root.c_str())) {
        closedir(dir);
    } else {
        result.error = options.root + ": cannot be read: " + errnoText();
        return;
    }
    std::vector<std::string> given;
    for (const std::string& folder : options.includeFolders) {
        std::string canonical;
        if (std::string problem = checkFolder(folder, canonical); !problem.empty()) {
            result.error = problem;
            return;
        }
        given.push_back(canonical);
    }
    CompileCommands commands;
    if (!options.compileCommands.empty() && !commands.read(options.compileCommands)) {
        result.error = commands.error();
        return;
    }

    const SourceTree tree(root, rootName(options.root), carryOn);
    if (tree.cancelled()) {
        result.cancelled = true;
        return;
    }
    const std::vector<SourceTree::Entry>& entries = tree.entries();
    IncludeResolver resolver(includeFolders(root, given, commands.folders()));
    std::vector<uint32_t> files;
    for (uint32_t id = 0; id < entries.size(); ++id) {
        if (!entries[id].isFile) continue;
        files.push_back(id);
        resolver.addFile(entries[id].path, id);
    }

    FileReaders readers(entries, files, resolver, options.maxFileBytes);
    const unsigned processors = std::max(1u, std::thread::hardware_concurrency());
    readers.run((options.threads ? options.threads : processors) - 1, carryOn);
    if (readers.cancelled()) {
        result.cancelled = true;
        return;
    }

    result.unreadable = tree.problems();
    // Each ordered pair once: the last file that reached each target, as files go in id order.
    std::vector<uint32_t> lastFrom(entries.size(), IncludeResolver::kNone);
    std::vector<FileScan>& scans = readers.scans();
    for (size_t i = 0; i < files.size(); ++i) {
        FileScan& scan = scans[i];
        if (!scan.problem.empty()) {
            result.unreadable.push_back(std::move(scan.problem));
            continue;
        }
        ++result.files;
        result.directives += scan.directives;
        for (uint32_t target : scan.targets) {
            if (lastFrom[target] == files[i]) continue;
            lastFrom[target] = files[i];
            result.relations.emplace_back(files[i], target);
        }
        std::vector<uint32_t>().swap(scan.targets);
    }
    countSkipped(readers.states(), result);
    result.names.reserve(entries.size());
    result.parents.reserve(entries.size());
    for (const SourceTree::Entry& entry : entries) {
        result.names.push_back(entry.name);
        result.parents.push_back(entry.parent);
    }
}
