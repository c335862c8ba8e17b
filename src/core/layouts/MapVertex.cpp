#include "MapVertex.h"

#include <boost/make_shared.hpp>

MapVertex::MapVertex(const VertexPtr& vertex, double width, double height)
    : m_width(width), m_height(height), m_vertex(vertex) {
    addStrip();
}

MapVertex::MapVertex(const VertexPtr& vertex, double width, double height,
                     const boost::shared_ptr<ObjectPool<Strip>>& stripPool)
    : m_width(width), m_height(height), m_vertex(vertex), m_stripPool(stripPool) {
    addStrip();
}

void MapVertex::addStrip() {
    if (m_stripPool) {
        m_strips.push_back(ObjectPool<Strip>::make(m_stripPool));
    } else {
        m_strips.push_back(boost::make_shared<Strip>());
    }
}

float MapVertex::aspectRatio() const {
    return aspectRatio(m_width, m_height, m_strips.size(), m_strips.back()->vertexCount());
}

float MapVertex::aspectRatio(double widthValue, double heightValue, size_t stripCount,
                             size_t cellCount) {
    // Evaluated in extended precision, with the strip height of the inverse ratio rounded to
    // double first; the decisions between strips depend on these exact roundings.
    const long double width = widthValue;
    const long double height = heightValue;
    const long double strips = static_cast<long double>(stripCount);
    const long double cells = static_cast<long double>(cellCount);
    const float ratio = static_cast<float>((width / cells) / (height / strips));
    const double stripHeight = static_cast<double>(height / strips);
    const float inverse = static_cast<float>(stripHeight / (width / cells));
    return inverse > ratio ? inverse : ratio;
}
