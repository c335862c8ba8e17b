#include "GraphGenerator.h"

#include <algorithm>
#include <deque>
#include <string>

namespace {

// SplitMix64: tiny, fast and identical everywhere, unlike the standard distributions.
class Random {
public:
    explicit Random(uint64_t seed) : m_state(seed) {}
    uint64_t next() {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    uint32_t below(uint64_t bound) {
        return bound == 0 ? 0 : static_cast<uint32_t>(next() % bound);
    }

private:
    uint64_t m_state;
};

std::string vertexName(uint32_t id) { return "v" + std::to_string(id); }

}  // namespace

GraphGenerator::GraphGenerator(const GeneratorParams& params) {
    const uint32_t count = std::max<uint32_t>(params.vertices, 1);
    const uint32_t fanOut = std::max<uint32_t>(params.fanOut, 1);
    const uint32_t maxDepth = std::max<uint32_t>(params.maxDepth, 1);
    Random random(params.seed);

    // Breadth-first growth: each open vertex takes 1..fanOut children while the depth allows;
    // once every open vertex is used up, the rest hang below random shallow vertices.
    std::vector<uint32_t> parentOf(count, 0), depth(count, 0);
    std::deque<uint32_t> open{0};
    uint32_t placed = 1;
    while (placed < count && !open.empty()) {
        uint32_t parent = open.front();
        open.pop_front();
        uint32_t children = 1 + random.below(fanOut);
        for (uint32_t c = 0; c < children && placed < count; ++c, ++placed) {
            parentOf[placed] = parent;
            depth[placed] = depth[parent] + 1;
            if (depth[placed] < maxDepth) open.push_back(placed);
        }
    }
    for (; placed < count; ++placed) {
        uint32_t parent = random.below(placed);
        while (depth[parent] >= maxDepth) parent = parentOf[parent];
        parentOf[placed] = parent;
        depth[placed] = depth[parent] + 1;
    }

    std::vector<uint32_t> idOf(count);
    for (uint32_t i = 0; i < count; ++i) idOf[i] = i;
    if (params.shuffleIds) {
        for (uint32_t i = count - 1; i > 0; --i) std::swap(idOf[i], idOf[random.below(i + 1)]);
    }

    m_root = idOf[0];
    m_parents.assign(count, 0);
    m_parents[m_root] = m_root;
    m_tree.reserve(count - 1);
    for (uint32_t i = 1; i < count; ++i) {
        m_parents[idOf[i]] = idOf[parentOf[i]];
        m_tree.emplace_back(idOf[parentOf[i]], idOf[i]);
    }
    m_relations.reserve(params.relations);
    for (uint64_t r = 0; r < params.relations; ++r) {
        uint32_t start = random.below(count);
        m_relations.emplace_back(start, random.below(count));
    }
}

std::vector<DataRecord> GraphGenerator::records() const {
    std::vector<DataRecord> records;
    records.reserve(1 + m_parents.size() + m_tree.size() + m_relations.size());
    records.push_back({"Root", {std::to_string(m_root)}});
    for (uint32_t id = 0; id < m_parents.size(); ++id) {
        records.push_back({"H", {std::to_string(id), vertexName(id)}});
    }
    for (const auto& [parent, child] : m_tree) {
        records.push_back({"PCR", {std::to_string(parent), std::to_string(child)}});
    }
    for (const auto& [start, end] : m_relations) {
        records.push_back({"R", {std::to_string(start), std::to_string(end)}});
    }
    return records;
}

void GraphGenerator::writeRsf(std::ostream& out) const {
    out << "\"LevelSeparator\" \".\"\n\"Root\" \"" << m_root << "\"\n";
    for (uint32_t id = 0; id < m_parents.size(); ++id) {
        out << "\"H\" \"" << id << "\" \"" << vertexName(id) << "\"\n";
    }
    for (const auto& [parent, child] : m_tree) {
        out << "\"PCR\" \"" << parent << "\" \"" << child << "\"\n";
    }
    for (const auto& [start, end] : m_relations) {
        out << "\"R\" \"" << start << "\" \"" << end << "\"\n";
    }
}

void GraphGenerator::writeXml(std::ostream& out) const {
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Root root_id=\"" << m_root << "\">\n";
    for (uint32_t id = 0; id < m_parents.size(); ++id) {
        out << "<Node id=\"" << id << "\" name=\"" << vertexName(id) << "\"/>\n";
    }
    for (const auto& [parent, child] : m_tree) {
        out << "<HierarchyEdge start=\"" << parent << "\" end=\"" << child << "\"/>\n";
    }
    for (const auto& [start, end] : m_relations) {
        out << "<RelationEdge start=\"" << start << "\" end=\"" << end << "\"/>\n";
    }
    out << "</Root>\n";
}
