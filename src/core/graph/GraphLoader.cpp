#include "GraphLoader.h"
#include "OpeningWatch.h"

#include "BuildGraph.h"
#include "IntegerText.h"
#include "LoadXMLTree.h"
#include "ReadRTFFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <thread>
#include <unordered_set>

namespace {

// "line 12: " or "line 3, column 5: " for a record; nothing when its place is unknown.
std::string place(int line, int column) {
    if (line <= 0) return {};
    std::string text = "line " + std::to_string(line);
    if (column > 0) text += ", column " + std::to_string(column);
    return text + ": ";
}

std::string place(const DataRecord& record) { return place(record.line, record.column); }

std::string inQuotes(std::string_view text) { return '"' + excerptForMessage(text) + '"'; }

// What the record checks learn for the checks on the built store.
struct RecordFacts {
    uint32_t vertexCount = 0;
    // Line of the hierarchy edge that makes each vertex a child, -1 while none does.
    std::vector<int> parentLine;
};

// Only [+]digits can fail the strict conversion for being too large rather than malformed.
bool isUnsignedNumeral(const std::string& text) {
    size_t start = !text.empty() && text[0] == '+' ? 1 : 0;
    if (start == text.size()) return false;
    for (size_t i = start; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
    }
    return true;
}

// The strict conversion of values[index]; an error text when it fails.
std::string strictValue(const DataRecord& record, size_t index, uint32_t& value) {
    const std::string& text = record.values[index];
    if (parseStrictUnsigned(text, value)) return {};
    if (isUnsignedNumeral(text)) {
        return place(record) + inQuotes(record.key) + " value " + inQuotes(text) +
               " does not fit in 32 bits";
    }
    return place(record) + inQuotes(record.key) + " value " + inQuotes(text) +
           " is not a vertex id (a decimal number from 0 to 4294967295)";
}

// Everything buildGraph would skip or misread, found in one pass in file order, plus what can
// be told from the records alone: declarations before use, ids without gaps, the root, and one
// parent per vertex.
class RecordChecker {
public:
    // Ids must run 0 .. N-1 and N is at most the number of "H" records, so that bounds the
    // tables; ids beyond it are kept aside and always mean a gap.
    RecordChecker(const std::vector<DataRecord>& records, RecordFacts& facts) : m_facts(facts) {
        for (const DataRecord& record : records) {
            m_declaredCount += std::string_view(record.key) == "H";
        }
        m_declared.assign(m_declaredCount, 0);
        facts.parentLine.assign(m_declaredCount, -1);
    }

    std::string check(const DataRecord& record) {
        // A view, as its == checks the length first, which settles nearly every comparison.
        const std::string_view key = record.key;
        const size_t needed = key == "Root"                                ? 1
                              : (key == "H" || key == "PCR" || key == "R") ? 2
                                                                           : 0;
        if (needed == 0) return {};
        if (record.values.size() < needed) {
            return place(record) + inQuotes(key) + " needs " + std::to_string(needed) +
                   (needed == 1 ? " value" : " values") + ", found " +
                   std::to_string(record.values.size());
        }
        if (key == "Root") {
            m_rootRecord = &record;
            return strictValue(record, 0, m_rootId);
        }
        return key == "H" ? checkVertex(record) : checkEdge(record, key);
    }

    // The ids without gaps and the root, once every record is checked.
    std::string finish() {
        if (m_distinct == 0) return "the file declares no vertex";
        // With N distinct ids, all of them below N exactly when none of 0 .. N-1 is missing; an
        // id beyond the table forces a missing one inside it.
        const uint64_t searched = std::min<uint64_t>(m_distinct, m_declaredCount);
        for (uint64_t id = 0; id < searched; ++id) {
            if (!m_declared[id]) {
                return "vertex ids must run from 0 to " + std::to_string(m_distinct - 1) +
                       " without gaps, but no vertex has id " + std::to_string(id);
            }
        }
        m_facts.vertexCount = static_cast<uint32_t>(m_distinct);
        const std::string rootPlace = m_rootRecord ? place(*m_rootRecord) : std::string();
        if (m_rootId >= m_distinct) {
            return rootPlace + "the root " + std::to_string(m_rootId) + " names no vertex";
        }
        if (m_facts.parentLine[m_rootId] >= 0) {
            return place(m_facts.parentLine[m_rootId], 0) + "the root " + std::to_string(m_rootId) +
                   " is made the child of another vertex";
        }
        return {};
    }

private:
    std::string checkVertex(const DataRecord& record) {
        int32_t id = 0;
        const LenientResult result = parseLenientInt(record.values[0], id);
        if (result == LenientResult::OutOfRange) {
            return place(record) + "\"H\" id " + inQuotes(record.values[0]) +
                   " does not fit in 32 bits";
        }
        if (id < 0)
            return place(record) + "\"H\" id " + inQuotes(record.values[0]) + " is negative";
        if (record.values.size() > 1 && record.values[1].size() > GraphLoader::kMaxNameBytes) {
            return place(record) + "the name of vertex " + std::to_string(id) + " is " +
                   std::to_string(record.values[1].size()) +
                   " bytes long, more than the limit of " +
                   std::to_string(GraphLoader::kMaxNameBytes);
        }
        const uint32_t vertex = static_cast<uint32_t>(id);
        if (vertex < m_declaredCount) {
            m_distinct += m_declared[vertex] == 0;
            m_declared[vertex] = 1;
        } else {
            m_distinct += m_declaredBeyond.insert(vertex).second;
        }
        return {};
    }

    std::string checkEdge(const DataRecord& record, std::string_view key) {
        uint32_t ends[2];
        for (size_t i = 0; i < 2; ++i) {
            if (std::string error = strictValue(record, i, ends[i]); !error.empty()) return error;
            if (!isDeclared(ends[i])) {
                return place(record) + inQuotes(key) + " names vertex " + std::to_string(ends[i]) +
                       ", which is not declared before it";
            }
        }
        if (key == "PCR" && ends[1] < m_declaredCount) {
            int& parentLine = m_facts.parentLine[ends[1]];
            if (parentLine >= 0) {
                return place(record) + "vertex " + std::to_string(ends[1]) +
                       " already has a parent (hierarchy edge on line " +
                       std::to_string(parentLine) + ")";
            }
            parentLine = record.line;
        }
        return {};
    }

    bool isDeclared(uint32_t id) const {
        return id < m_declaredCount ? m_declared[id] != 0 : m_declaredBeyond.count(id) != 0;
    }

    RecordFacts& m_facts;
    size_t m_declaredCount = 0;
    std::vector<uint8_t> m_declared;
    std::unordered_set<uint32_t> m_declaredBeyond;
    uint64_t m_distinct = 0;
    uint32_t m_rootId = 0;
    const DataRecord* m_rootRecord = nullptr;
};

std::string checkRecords(const std::vector<DataRecord>& records, RecordFacts& facts) {
    RecordChecker checker(records, facts);
    for (size_t i = 0; i < records.size(); ++i) {
        OpeningWatch::step(i, records.size());
        if (std::string error = checker.check(records[i]); !error.empty()) return error;
    }
    return checker.finish();
}

enum VisitState : uint8_t { kUnseen, kReached, kOnWalk, kWalked };

// Breadth first from the root, level by level: marks what is reached and adds up the lengths of
// the paths to the root as calculateHierarchy will store them (own id included).
std::string reachFromRoot(Vertex* root, std::vector<uint8_t>& state, uint64_t& pathIds,
                          size_t& reached) {
    std::vector<Vertex*> level{root}, next;
    state[root->getId()] = kReached;
    reached = 1;
    for (uint64_t depth = 0; !level.empty(); ++depth) {
        pathIds += (depth + 1) * level.size();
        next.clear();
        for (Vertex* vertex : level) {
            for (const VertexPtr& child : vertex->children()) {
                // Each vertex has one parent and the root none, so this cannot meet a vertex
                // twice; the test keeps a broken invariant from turning into an endless walk.
                if (state[child->getId()] != kUnseen) {
                    return "the hierarchy has a cycle through vertex " +
                           std::to_string(child->getId());
                }
                state[child->getId()] = kReached;
                next.push_back(child.get());
            }
        }
        reached += next.size();
        level.swap(next);
    }
    return {};
}

// Follows the parents of every unreached vertex upwards; meeting the current walk again is a
// cycle. A reached parent would have made its child reached, so a walk ends at a vertex without
// parent, at an earlier walk, or in a cycle. Each vertex joins one walk.
std::string findCycle(const std::vector<Vertex*>& byId, std::vector<uint8_t>& state,
                      const RecordFacts& facts) {
    const size_t count = byId.size();
    std::vector<Vertex*> walk;
    for (size_t start = 0; start < count; ++start) {
        if (state[start] != kUnseen) continue;
        walk.clear();
        for (Vertex* vertex = byId[start]; vertex;) {
            uint8_t& mark = state[vertex->getId()];
            if (mark == kOnWalk) {
                // The store is discarded; vertices in a cycle hold each other as children and
                // would never be freed, so every unreached vertex lets go of its own.
                for (size_t other = 0; other < count; ++other) {
                    if (state[other] != kReached) byId[other]->clearChildren();
                }
                const uint32_t id = vertex->getId();
                return place(facts.parentLine[id], 0) +
                       "the hierarchy has a cycle: the hierarchy edge into vertex " +
                       std::to_string(id) + " closes it";
            }
            if (mark != kUnseen) break;
            mark = kOnWalk;
            walk.push_back(vertex);
            vertex = vertex->getParent().get();
        }
        for (Vertex* vertex : walk) state[vertex->getId()] = kWalked;
    }
    return {};
}

// Without a cycle, the smallest unreached vertex hangs below a vertex without parent.
std::string unreachedVertex(const std::vector<Vertex*>& byId, const std::vector<uint8_t>& state,
                            uint32_t rootId) {
    for (size_t id = 0; id < byId.size(); ++id) {
        if (state[id] == kReached) continue;
        Vertex* top = byId[id];
        while (VertexPtr parent = top->getParent()) top = parent.get();
        std::string text = "vertex " + std::to_string(id) + " is not reachable from the root " +
                           std::to_string(rootId);
        if (top != byId[id]) {
            text += ": its topmost ancestor " + std::to_string(top->getId()) + " has no parent";
        } else {
            text += ": it has no parent";
        }
        return text;
    }
    return {};
}

// Checks the built tree: every vertex reachable from the root, no cycle, and paths to the root
// small enough to store. Walks each vertex a bounded number of times, without recursion.
std::string checkStore(const GraphStore& store, const RecordFacts& facts) {
    const size_t count = store.vertexCount();
    std::vector<uint8_t> state(count, kUnseen);
    Vertex* root = store.getRoot().get();
    uint64_t pathIds = 0;
    size_t reached = 0;
    if (std::string error = reachFromRoot(root, state, pathIds, reached); !error.empty()) {
        return error;
    }
    if (reached < count) {
        std::vector<Vertex*> byId(count, nullptr);
        for (const auto& [id, vertex] : store.vertices()) {
            if (id < count) byId[id] = vertex.get();
        }
        if (std::string error = findCycle(byId, state, facts); !error.empty()) return error;
        if (std::string error = unreachedVertex(byId, state, root->getId()); !error.empty()) {
            return error;
        }
    }
    if (pathIds > GraphLoader::kMaxPathIds) {
        return "the paths to the root would hold " + std::to_string(pathIds) +
               " vertex ids, more than the limit of " + std::to_string(GraphLoader::kMaxPathIds) +
               "; the hierarchy is too deep";
    }
    return {};
}

// What keeps a file from being read, told from its status and size alone.
std::string statusProblem(const std::string& fileName) {
    std::error_code ignored;
    const std::filesystem::file_status status = std::filesystem::status(fileName, ignored);
    if (std::filesystem::is_directory(status)) return "cannot be opened: it is a directory";
    // A device or pipe may never end (the RSF reader would grow its line buffer without bound),
    // and opening a pipe waits for a writer. Only a regular file's size is known before reading.
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        return "cannot be opened: it is not a regular file";
    }
    const uintmax_t size = std::filesystem::file_size(fileName, ignored);
    if (!ignored && size > GraphLoader::kMaxFileBytes) {
        return "the file is " + std::to_string(size) + " bytes, more than the limit of " +
               std::to_string(GraphLoader::kMaxFileBytes) + " bytes (" +
               std::to_string(GraphLoader::kMaxFileBytes >> 20) + " MiB)";
    }
    return {};
}

std::string openProblem(const std::string& fileName) {
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    if (!file) return std::string("cannot be opened: ") + std::strerror(errno);
    const bool empty = std::fgetc(file) == EOF;
    std::fclose(file);
    return empty ? "the file is empty" : std::string();
}

// The file's own name decides the format, never a folder on its path ("app.rsf.d/g.xml" is XML);
// a name with ".rsf" anywhere in it ("g.rsf.bak") stays RSF, as files have been named so.
bool isRsfName(const std::string& fileName) {
    const size_t slash = fileName.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    return fileName.find(".rsf", nameStart) != std::string::npos;
}

// The records of an RSF or XML file. An XML document is freed on releasing while the records
// are checked, which allocates next to nothing; it must be gone before the graph is built, or
// both would be in memory at once.
std::string readRecords(const std::string& fileName, std::vector<DataRecord>& records,
                        std::unique_ptr<LoadXMLTree>& xmlReader, std::thread& releasing) {
    if (isRsfName(fileName)) {
        ReadRTFFile reader;
        records = reader.read(fileName.c_str());
        // The reader gives at least one record for any file it could open.
        return records.empty() ? "cannot be opened" : std::string();
    }
    xmlReader = std::make_unique<LoadXMLTree>(GraphLoader::kMaxXmlNesting);
    records = xmlReader->read(fileName.c_str());
    const LoadXMLTree::Problem& problem = xmlReader->problem();
    if (!problem.text.empty()) return place(problem.line, problem.column) + problem.text;
    try {
        releasing = std::thread([reader = xmlReader.get()] { reader->releaseDocument(); });
    } catch (const std::system_error&) {
        xmlReader->releaseDocument();
    }
    return {};
}

}  // namespace

LoadResult GraphLoader::load(const std::string& fileName,
                             const std::function<bool(LoadPhase)>& carryOn) {
    LoadResult result;
    auto fail = [&](const std::string& problem) {
        result.graph.reset();
        result.error = fileName + ": " + problem;
        return std::move(result);
    };
    auto stopped = [&](LoadPhase phase) { return carryOn && !carryOn(phase); };
    auto cancel = [&] {
        result.graph.reset();
        result.cancelled = true;
        return std::move(result);
    };

    if (std::string problem = statusProblem(fileName); !problem.empty()) return fail(problem);
    if (stopped(LoadPhase::Reading)) return cancel();
    if (std::string problem = openProblem(fileName); !problem.empty()) return fail(problem);
    std::vector<DataRecord> records;
    std::unique_ptr<LoadXMLTree> xmlReader;
    std::thread releasing;
    struct Joiner {
        std::thread& thread;
        ~Joiner() {
            if (thread.joinable()) thread.join();
        }
    } joinBeforeReturning{releasing};
    if (std::string problem = readRecords(fileName, records, xmlReader, releasing);
        !problem.empty()) {
        return fail(problem);
    }

    if (stopped(LoadPhase::Checking)) return cancel();
    RecordFacts facts;
    if (std::string problem = checkRecords(records, facts); !problem.empty()) return fail(problem);
    if (releasing.joinable()) releasing.join();
    if (stopped(LoadPhase::Building)) return cancel();
    std::unique_ptr<GraphStore> store = buildGraph(std::move(records));
    if (std::string problem = checkStore(*store, facts); !problem.empty()) return fail(problem);
    if (stopped(LoadPhase::Hierarchy)) return cancel();
    store->calculateHierarchy();
    result.graph = std::move(store);
    return result;
}
