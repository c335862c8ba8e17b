#include "VertexPositions.h"

#include "View.h"

VertexPositions::VertexPositions(const View& view, size_t vertexCount)
    : m_view(view), m_coordinates(3 * vertexCount, 0.0f) {
    for (const auto& [id, record] : view.records()) {
        if (id >= vertexCount) break;
        m_coordinates[3 * size_t(id) + 0] = record.x;
        m_coordinates[3 * size_t(id) + 1] = record.y;
        m_coordinates[3 * size_t(id) + 2] = record.z;
    }
}

std::array<float, 3> VertexPositions::at(uint32_t vertex) const {
    if (size_t(vertex) * 3 < m_coordinates.size()) {
        const float* p = &m_coordinates[3 * size_t(vertex)];
        return {p[0], p[1], p[2]};
    }
    const LayoutRecord record = m_view.getRecord(vertex);
    return {record.x, record.y, record.z};
}
