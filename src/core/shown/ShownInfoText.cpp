#include "ShownInfoText.h"

namespace {

std::string count(uint64_t value, const char* one, const char* many) {
    return std::to_string(value) + " " + (value == 1 ? one : many);
}

}  // namespace

std::vector<std::string> ShownInfoText::lines(const ShownGraph& shown, const GraphStore& full,
                                              const Selection& selection) {
    std::vector<std::string> lines;
    if (selection.m_type == Selection::VERTEX && selection.m_vertex) {
        const uint32_t id = selection.m_vertex->getId();
        if (id >= shown.shownCount()) return lines;
        const uint32_t hidden = shown.hiddenDescendants(id), internal = shown.internalEdges(id);
        if (hidden > 0) {
            lines.push_back("collapsed: " + count(hidden, "hidden vertex", "hidden vertices") +
                            ", " + count(internal, "internal edge", "internal edges"));
        } else if (internal > 0) {
            lines.push_back(count(internal, "internal edge", "internal edges"));
        }
    } else if (selection.m_type == Selection::RELATION_EDGE && selection.m_relationEdge) {
        const uint32_t id = selection.m_relationEdge->getId();
        if (id >= shown.mergedCount()) return lines;
        const uint32_t weight = shown.weight(id);
        const RelationEdgePtr first = full.getRelationEdge(*shown.membersBegin(id));
        const bool itself = weight == 1 && first &&
                            shown.originalId(selection.m_relationEdge->getStart()->getId()) ==
                                first->getStart()->getId() &&
                            shown.originalId(selection.m_relationEdge->getEnd()->getId()) ==
                                first->getEnd()->getId();
        if (itself) return lines;
        lines.push_back("merged edge: weight " + std::to_string(weight));
        size_t listed = 0;
        for (const uint32_t* member = shown.membersBegin(id);
             member != shown.membersEnd(id) && listed < kMembersListed; ++member, ++listed) {
            const RelationEdgePtr edge = full.getRelationEdge(*member);
            if (edge) {
                lines.push_back(edge->getStart()->getName() + " -> " + edge->getEnd()->getName());
            }
        }
        if (weight > listed) lines.push_back("and " + std::to_string(weight - listed) + " more");
    }
    return lines;
}
