#pragma once

#include "Edge.h"

// An edge between any two vertices, drawn as a bundled curve.
class RelationEdge : public Edge {
public:
    using Edge::Edge;
};

using RelationEdgePtr = boost::shared_ptr<RelationEdge>;
