#pragma once

#include "Vertex.h"

#include <boost/shared_ptr.hpp>

// Working record of one vertex of the balloon layout; the balloon drawer reads m_radius to size
// the circle around the vertex.
class VertexBallon {
public:
    VertexBallon(const VertexPtr& vertex, double radius, double innerRadius, double perimeter,
                 double angle);

    VertexPtr m_vertex;
    double m_radius;       // circle enclosing the whole subtree
    double m_innerRadius;  // circle on which the children's centres lie
    double m_angle;        // radians from the previous sibling to this vertex
    double m_perimeter;    // sum of the children's diameters, then the vertex's own diameter
};

using VertexBallonPtr = boost::shared_ptr<VertexBallon>;
