// The shown graph (exclude, collapse, merged edges) against its definition worked out the slow
// way, over generated graphs, collapse sets and patterns; the wildcard matcher against Python's
// fnmatchcase.
#include "FiveViews.h"
#include "LayoutTestGraph.h"
#include "OverviewDepth.h"
#include "ShownGraph.h"
#include "ShownInfoText.h"
#include "WildcardPattern.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Patterns of "*", "?" and plain characters only, matched by trying every split.
bool slowMatch(const char* pattern, const char* text) {
    if (*pattern == '\0') return *text == '\0';
    if (*pattern == '*')
        return slowMatch(pattern + 1, text) || (*text && slowMatch(pattern, text + 1));
    return *text && (*pattern == '?' || *pattern == *text) && slowMatch(pattern + 1, text + 1);
}

struct Expected {
    std::vector<uint32_t> originalIds;
    std::vector<uint32_t> hidden, internal;
    std::vector<std::pair<uint32_t, uint32_t>> merged;  // shown ends
    std::vector<std::vector<uint32_t>> members;
    size_t excludedEdges = 0;
};

// The definition, vertex by vertex and edge by edge along parent links.
Expected slowShownGraph(const GraphStore& full, const GraphGenerator& generator,
                        const std::vector<std::string>& patterns,
                        const std::vector<uint32_t>& collapsed) {
    const auto& parents = generator.parents();
    const size_t n = parents.size();
    auto ancestorsOrSelf = [&](uint32_t v) {
        std::vector<uint32_t> up{v};
        while (parents[up.back()] != up.back()) up.push_back(parents[up.back()]);
        return up;
    };
    std::vector<bool> excluded(n), shown(n);
    for (uint32_t v = 0; v < n; ++v) {
        const std::vector<uint32_t> up = ancestorsOrSelf(v);
        for (size_t k = 0; k < up.size() && !excluded[v]; ++k) {
            std::string path;
            for (size_t j = up.size(); j-- > k;)
                path += (path.empty() ? "" : "/") + full.getVertex(up[j])->getName();
            for (const std::string& pattern : patterns)
                excluded[v] = excluded[v] || slowMatch(pattern.c_str(), path.c_str());
        }
        shown[v] = !excluded[v];
        for (size_t k = 1; k < up.size(); ++k) {
            const bool collapsedAbove =
                std::find(collapsed.begin(), collapsed.end(), up[k]) != collapsed.end();
            if (collapsedAbove) shown[v] = false;
        }
    }
    Expected expected;
    std::vector<uint32_t> shownId(n, ShownGraph::kNone), rep(n, ShownGraph::kNone);
    for (uint32_t v = 0; v < n; ++v) {
        if (!shown[v]) continue;
        shownId[v] = static_cast<uint32_t>(expected.originalIds.size());
        expected.originalIds.push_back(v);
    }
    expected.hidden.assign(expected.originalIds.size(), 0);
    expected.internal.assign(expected.originalIds.size(), 0);
    for (uint32_t v = 0; v < n; ++v) {
        if (excluded[v]) continue;
        for (uint32_t u : ancestorsOrSelf(v)) {
            if (shown[u]) {
                rep[v] = shownId[u];
                break;
            }
        }
        if (!shown[v]) ++expected.hidden[rep[v]];
    }
    std::map<std::pair<uint32_t, uint32_t>, size_t> index;
    uint32_t edgeId = 0;
    for (const auto& [a, b] : generator.relationEdges()) {
        if (excluded[a] || excluded[b]) {
            ++expected.excludedEdges;
        } else if (rep[a] == rep[b]) {
            ++expected.internal[rep[a]];
        } else {
            auto [it, fresh] =
                index.emplace(std::make_pair(rep[a], rep[b]), expected.merged.size());
            if (fresh) {
                expected.merged.push_back(it->first);
                expected.members.emplace_back();
            }
            expected.members[it->second].push_back(edgeId);
        }
        ++edgeId;
    }
    return expected;
}

void expectMatches(const ShownGraph& shown, const Expected& expected, const GraphStore& full) {
    ASSERT_TRUE(shown.ok()) << shown.error();
    const GraphStore& graph = *shown.graph();
    ASSERT_EQ(graph.vertexCount(), expected.originalIds.size());
    size_t hiddenTotal = 0, internalTotal = 0;
    for (uint32_t v = 0; v < graph.vertexCount(); ++v) {
        ASSERT_EQ(shown.originalId(v), expected.originalIds[v]);
        EXPECT_EQ(graph.getVertex(v)->getName(), full.getVertex(shown.originalId(v))->getName());
        EXPECT_EQ(shown.hiddenDescendants(v), expected.hidden[v]) << v;
        EXPECT_EQ(shown.internalEdges(v), expected.internal[v]) << v;
        hiddenTotal += shown.hiddenDescendants(v);
        internalTotal += shown.internalEdges(v);
    }
    EXPECT_EQ(graph.getRoot()->getId(), shown.shownOf(full.getRoot()->getId()));
    // The hierarchy edges between shown vertices, in their original order.
    std::vector<std::pair<uint32_t, uint32_t>> tree;
    for (const auto& [id, edge] : full.hierarchyEdges()) {
        const uint32_t parent = edge->getStart()->getId(), child = edge->getEnd()->getId();
        const uint32_t shownChild = shown.shownOf(child);
        if (shownChild != ShownGraph::kNone && shown.originalId(shownChild) == child)
            tree.emplace_back(shown.shownOf(parent), shownChild);
    }
    ASSERT_EQ(graph.hierarchyEdgeCount(), tree.size());
    for (const auto& [id, edge] : graph.hierarchyEdges())
        EXPECT_EQ(std::make_pair(edge->getStart()->getId(), edge->getEnd()->getId()), tree[id]);
    ASSERT_EQ(graph.relationEdgeCount(), expected.merged.size());
    ASSERT_EQ(shown.mergedCount(), expected.merged.size());
    for (const auto& [id, edge] : graph.relationEdges()) {
        EXPECT_EQ(std::make_pair(edge->getStart()->getId(), edge->getEnd()->getId()),
                  expected.merged[id]);
        EXPECT_EQ(std::vector<uint32_t>(shown.membersBegin(id), shown.membersEnd(id)),
                  expected.members[id]);
        EXPECT_EQ(shown.weight(id), expected.members[id].size());
    }
    EXPECT_EQ(shown.excludedEdgeCount(), expected.excludedEdges);
    EXPECT_EQ(shown.internalEdgeCount(), internalTotal);
    EXPECT_EQ(graph.vertexCount() + hiddenTotal + shown.excludedVertexCount(), full.vertexCount());
}

}  // namespace

// Every generated graph with, in turn: nothing; each depth; a seeded set of collapsed vertices;
// patterns drawn from its names, alone and with a depth. The overview's merged-edge counts per
// depth are those of the graph collapsed to that depth, and the chosen depth is the deepest
// within the limit.
TEST(ShownGraph, MatchesItsDefinitionOnGeneratedGraphs) {
    for (GeneratorParams params : graphFamily(120, 2)) {
        params.relations = 240;
        SCOPED_TRACE(describe(params));
        GraphGenerator generator(params);
        auto full = builtGraph(generator.records());
        const int deepest = static_cast<int>(full->depthCount()) - 1;
        const std::string some = "v" + std::to_string(params.seed * 7 % params.vertices);
        const std::vector<std::vector<std::string>> patternSets = {
            {}, {"*/" + some}, {"*/v1*"}, {"*/" + some + "*", "*?3/*"}, {"v0/v?"}};
        std::vector<uint32_t> seeded;
        for (uint32_t v = static_cast<uint32_t>(params.seed) % 5; v < params.vertices; v += 5)
            seeded.push_back(v);

        std::vector<size_t> mergedByDepth;
        for (int depth = 0; depth <= deepest + 1; ++depth) {
            SCOPED_TRACE("depth " + std::to_string(depth));
            const std::vector<uint32_t> collapsed = OverviewDepth::collapsedAt(*full, depth);
            const ShownGraph shown = ShownGraph::build(*full, {}, collapsed);
            expectMatches(shown, slowShownGraph(*full, generator, {}, collapsed), *full);
            EXPECT_EQ(OverviewDepth::mergedEdgesAt(*full, {}, depth), shown.mergedCount());
            mergedByDepth.push_back(shown.mergedCount());
            if (depth >= deepest) {
                // The tree's own depth collapses nothing: every vertex shown under its own id.
                EXPECT_EQ(shown.graph()->vertexCount(), full->vertexCount());
                EXPECT_EQ(shown.graph()->getHierarchy(), full->getHierarchy());
            }
        }
        for (size_t limit : {size_t{0}, size_t{20}, size_t{100}, size_t{1000}}) {
            const int chosen = OverviewDepth::choose(*full, {}, limit);
            if (full->relationEdgeCount() <= limit) {
                EXPECT_EQ(chosen, OverviewDepth::kWhole);
                continue;
            }
            int expected = 1;
            for (int depth = 1; depth <= deepest; ++depth)
                if (mergedByDepth[depth] <= limit) expected = depth;
            EXPECT_EQ(chosen, expected) << "limit " << limit;
        }
        for (const std::vector<std::string>& patterns : patternSets) {
            SCOPED_TRACE(patterns.empty() ? "" : patterns[0]);
            for (const std::vector<uint32_t>& collapsed :
                 {seeded, OverviewDepth::collapsedAt(*full, 2), std::vector<uint32_t>()}) {
                expectMatches(ShownGraph::build(*full, patterns, collapsed),
                              slowShownGraph(*full, generator, patterns, collapsed), *full);
            }
        }
        const ShownGraph refused = ShownGraph::build(*full, {"x", "v*"}, {});
        EXPECT_FALSE(refused.ok());
        EXPECT_EQ(refused.error(), "the pattern \"v*\" matches the root \"" +
                                       full->getRoot()->getName() + "\", which cannot be excluded");
    }
}

// Python's fnmatch.fnmatchcase gave the expected values.
TEST(WildcardPattern, MatchesAsFnmatchcase) {
    struct Case {
        const char* pattern;
        const char* text;
        bool match;
    };
    // clang-format off
    const Case cases[] = {
        {"root/*", "root/a/b", true}, {"root/*", "root", false}, {"*b", "root/a/b", true},
        {"r?ot", "root", true}, {"r?ot", "r/ot", true}, {"*/ä?", "r/äb", true}, {"?", "é", true},
        {"??", "é", false}, {"[a-c]x", "bx", true}, {"[a-c]x", "dx", false},
        {"[!a-c]x", "dx", true}, {"[!a-c]x", "ax", false}, {"[]a]", "]", true},
        {"[!]a]", "]", false}, {"[!]a]", "b", true}, {"[a-]", "-", true}, {"[z-a]", "m", false},
        {"[!z-a]", "m", true}, {"[a-c-e]", "-", true}, {"[a-c-e]", "d", false},
        {"[a-c-e]", "e", true}, {"[", "[", true}, {"a[b", "a[b", true}, {"[\\]", "\\", true},
        {"*a*b*c", "xaybzc", true}, {"*a*b*c", "xaybzcb", false}, {"**/x", "a/b/x", true},
        {"[b-a-c]", "b", false}, {"[b-a-c]", "-", true}, {"[b-a-c]", "a", false},
        {"[!]", "!", false}, {"[!]", "x", false}, {"[!]]", "x", true}, {"[--0]", "/", true},
        {"[&&]", "&", true}, {"[^a]", "^", true}, {"[^a]", "b", false}, {"[[]", "[", true},
        {"a*", "a/b/c", true}, {"*.h", "src/x.h", true}, {"*.h", "src/x.hpp", false},
        {"[a-c-]", "-", true}, {"[-a]", "-", true}, {"[é-ü]", "ö", true},
        {"tests/*", "tests", false}, {"*/tests", "a/tests", true}, {"?", "\xff", true},
        {"??", "\xc3", false},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(WildcardPattern(c.pattern).matches(c.text), c.match)
            << c.pattern << " " << c.text;
    }
}

// What the picture says of a picked vertex or edge of a shown graph: a folder of two files
// collapsed, with one edge inside it, two merged into one to a third file and one back.
TEST(ShownInfoText, NamesWhatAPickStandsFor) {
    std::vector<DataRecord> records = {
        {"Root", {"0"}},     {"H", {"0", "root"}}, {"H", {"1", "a"}},   {"H", {"2", "b"}},
        {"H", {"3", "a1"}},  {"H", {"4", "a2"}},   {"PCR", {"0", "1"}}, {"PCR", {"0", "2"}},
        {"PCR", {"1", "3"}}, {"PCR", {"1", "4"}},  {"R", {"3", "4"}},   {"R", {"3", "2"}},
        {"R", {"4", "2"}},   {"R", {"2", "3"}}};
    auto full = builtGraph(records);
    const ShownGraph shown = ShownGraph::build(*full, {}, {1});
    const GraphStore& part = *shown.graph();
    auto vertex = [&](uint32_t id) {
        Selection s;
        s.selectVertex(part.getVertex(id));
        return s;
    };
    auto edge = [&](uint32_t id) {
        Selection s;
        s.selectRelationEdge(part.getRelationEdge(id), 0);
        return s;
    };
    const struct {
        Selection picked;
        std::vector<std::string> lines;
    } cases[] = {
        {vertex(1), {"collapsed: 2 hidden vertices, 1 internal edge"}},
        {vertex(2), {}},
        {edge(0), {"merged edge: weight 2", "a1 -> b", "a2 -> b"}},
        {edge(1), {"merged edge: weight 1", "b -> a1"}},
        {Selection(), {}},
    };
    for (const auto& c : cases) EXPECT_EQ(ShownInfoText::lines(shown, *full, c.picked), c.lines);
    // A graph with nothing hidden: an edge that stands for itself says nothing.
    const ShownGraph whole = ShownGraph::build(*full, {"*/a1"}, {});
    Selection itself;
    itself.selectRelationEdge(whole.graph()->getRelationEdge(0), 0);
    EXPECT_EQ(ShownInfoText::lines(whole, *full, itself), std::vector<std::string>());
}
