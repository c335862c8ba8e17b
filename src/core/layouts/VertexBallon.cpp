#include "VertexBallon.h"

VertexBallon::VertexBallon(const VertexPtr& vertex, double radius, double innerRadius,
                           double perimeter, double angle)
    : m_vertex(vertex),
      m_radius(radius),
      m_innerRadius(innerRadius),
      m_angle(angle),
      m_perimeter(perimeter) {}
