#include "ScanResult.h"

#include <boost/make_shared.hpp>

#include <cstdio>

std::unique_ptr<GraphStore> ScanResult::toGraph() const {
    auto store = std::make_unique<GraphStore>();
    std::vector<VertexPtr> vertices;
    vertices.reserve(names.size());
    for (uint32_t id = 0; id < names.size(); ++id) {
        vertices.push_back(boost::make_shared<Vertex>(id, names[id]));
        store->addVertex(vertices.back());
    }
    for (uint32_t id = 1; id < names.size(); ++id) {
        auto edge = boost::make_shared<HierarchyEdge>(vertices[parents[id]], vertices[id]);
        edge->setId(id - 1);
        store->addHierarchyEdge(edge);
    }
    for (size_t i = 0; i < relations.size(); ++i) {
        auto edge = boost::make_shared<RelationEdge>(vertices[relations[i].first],
                                                     vertices[relations[i].second]);
        edge->setId(static_cast<uint32_t>(i));
        store->addRelationEdge(edge);
    }
    store->setRoot(0);
    store->calculateHierarchy();
    return store;
}

std::string ScanResult::report() const {
    std::string text = std::to_string(files) + " files scanned, " + std::to_string(directives) +
                       " directives found, " + std::to_string(relations.size()) + " edges, " +
                       std::to_string(skipped) + " names skipped (" +
                       std::to_string(distinctSkipped) + " distinct)";
    char time[32];
    std::snprintf(time, sizeof time, ", in %.2f s\n", seconds);
    text += time;
    if (!topSkipped.empty()) {
        text += "most frequent skipped names:\n";
        for (const auto& [name, count] : topSkipped) {
            std::string countText = std::to_string(count);
            text += std::string(countText.size() < 8 ? 8 - countText.size() : 0, ' ') + countText +
                    "  " + name + '\n';
        }
    }
    if (!unreadable.empty()) {
        text += std::to_string(unreadable.size()) + " entries could not be read:\n";
        // Enough to see what went wrong; a whole unreadable tree would bury the figures.
        constexpr size_t kListed = 20;
        for (size_t i = 0; i < unreadable.size() && i < kListed; ++i)
            text += "  " + unreadable[i] + '\n';
        if (unreadable.size() > kListed)
            text += "  and " + std::to_string(unreadable.size() - kListed) + " more\n";
    }
    return text;
}
