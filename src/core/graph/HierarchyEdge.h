#pragma once

#include "Edge.h"

// A tree edge: start is the parent, end the child.
class HierarchyEdge : public Edge {
public:
    using Edge::Edge;
};

using HierarchyEdgePtr = boost::shared_ptr<HierarchyEdge>;
