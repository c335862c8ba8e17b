#include "VertexExclusion.h"

#include "IntegerText.h"
#include "WildcardPattern.h"

namespace {

// Marks id and every vertex below it.
size_t excludeSubtree(const Vertex& top, std::vector<uint8_t>& excluded) {
    size_t count = 0;
    std::vector<const Vertex*> pending{&top};
    while (!pending.empty()) {
        const Vertex* vertex = pending.back();
        pending.pop_back();
        if (vertex->getId() < excluded.size() && !excluded[vertex->getId()]) {
            excluded[vertex->getId()] = 1;
            ++count;
        }
        for (const VertexPtr& child : vertex->children()) pending.push_back(child.get());
    }
    return count;
}

}  // namespace

VertexExclusion::VertexExclusion(const GraphStore& graph,
                                 const std::vector<std::string>& patterns) {
    m_excluded.assign(graph.vertexCount(), 0);
    const VertexPtr root = graph.getRoot();
    if (patterns.empty() || !root) return;
    std::vector<WildcardPattern> compiled(patterns.begin(), patterns.end());

    // Depth first, each path decoded once into a shared buffer: a vertex's path is its parent's
    // path, "/" and its name. A subtree that goes is not walked further.
    struct Pending {
        const Vertex* vertex;
        size_t parentLength;
    };
    std::u32string path;
    std::vector<Pending> pending{{root.get(), 0}};
    while (!pending.empty()) {
        const Pending next = pending.back();
        pending.pop_back();
        path.resize(next.parentLength);
        if (next.vertex != root.get()) path.push_back(U'/');
        WildcardPattern::decodeUtf8(next.vertex->getName(), path);
        const WildcardPattern* match = nullptr;
        for (const WildcardPattern& pattern : compiled) {
            if (pattern.matches(path)) {
                match = &pattern;
                break;
            }
        }
        if (match && next.vertex == root.get()) {
            m_error = "the pattern \"" + excerptForMessage(match->text()) +
                      "\" matches the root \"" + excerptForMessage(root->getName()) +
                      "\", which cannot be excluded";
            return;
        }
        if (match) {
            m_excludedCount += excludeSubtree(*next.vertex, m_excluded);
            continue;
        }
        const size_t length = path.size();
        for (const VertexPtr& child : next.vertex->children()) {
            pending.push_back({child.get(), length});
        }
    }
}
