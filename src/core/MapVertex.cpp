#include "MapVertex.h"

#include <boost/make_shared.hpp>

MapVertex::MapVertex(const VertexPtr& vertex, double width, double height)
    : m_width(width), m_height(height), m_vertex(vertex) {
    m_strips.push_back(boost::make_shared<Strip>());
}

void MapVertex::addStrip() { m_strips.push_back(boost::make_shared<Strip>()); }

float MapVertex::aspectRatio() const {
    // Evaluated in extended precision, with the strip height of the inverse ratio rounded to
    // double first; the decisions between strips depend on these exact roundings.
    const long double width = m_width;
    const long double height = m_height;
    const long double strips = static_cast<long double>(m_strips.size());
    const long double cells = static_cast<long double>(m_strips.back()->vertexCount());
    const float ratio = static_cast<float>((width / cells) / (height / strips));
    const double stripHeight = static_cast<double>(height / strips);
    const float inverse = static_cast<float>(stripHeight / (width / cells));
    return inverse > ratio ? inverse : ratio;
}
