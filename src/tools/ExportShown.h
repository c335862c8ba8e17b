#pragma once
// The lines ramiflex-export adds for a shown graph (--depth, --exclude): what each shown vertex
// stands for and what each merged edge holds.

#include "ExportLayouts.h"
#include "ShownGraph.h"

#include <cstdio>
#include <string>

namespace exportshown {

// visible <TAB> shown id <TAB> original id <TAB> hidden descendants <TAB> internal edges
// merged <TAB> shown edge id <TAB> from <TAB> to <TAB> weight (shown ids)
inline void writeShownLines(std::FILE* out, const ShownGraph& shown) {
    using exportlayouts::appendField;
    std::string line;
    for (uint32_t v = 0; v < shown.shownCount(); ++v) {
        line = "visible\t";
        appendField(line, v, '\t');
        appendField(line, shown.originalId(v), '\t');
        appendField(line, shown.hiddenDescendants(v), '\t');
        appendField(line, shown.internalEdges(v), '\n');
        exportlayouts::flushLine(out, line);
    }
    for (uint32_t e = 0; e < shown.mergedCount(); ++e) {
        const RelationEdgePtr edge = shown.graph()->getRelationEdge(e);
        line = "merged\t";
        appendField(line, e, '\t');
        appendField(line, edge->getStart()->getId(), '\t');
        appendField(line, edge->getEnd()->getId(), '\t');
        appendField(line, shown.weight(e), '\n');
        exportlayouts::flushLine(out, line);
    }
}

}  // namespace exportshown
