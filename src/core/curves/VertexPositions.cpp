#include "VertexPositions.h"

#include "View.h"

VertexPositions::VertexPositions(View& view, size_t vertexCount)
    : m_view(view), m_coordinates(3 * vertexCount, 0.0f), m_known(vertexCount, 0) {
    for (const auto& [id, record] : view.records()) {
        if (id >= vertexCount) break;
        m_coordinates[3 * size_t(id) + 0] = record.x;
        m_coordinates[3 * size_t(id) + 1] = record.y;
        m_coordinates[3 * size_t(id) + 2] = record.z;
        m_known[id] = 1;
    }
}

std::array<float, 3> VertexPositions::at(uint32_t vertex) {
    if (vertex < m_known.size()) {
        if (!m_known[vertex]) {
            // Find-or-insert: the vertex now has the all-zero record the array already holds.
            m_view.getRecord(vertex);
            m_known[vertex] = 1;
        }
        const float* p = &m_coordinates[3 * size_t(vertex)];
        return {p[0], p[1], p[2]};
    }
    const LayoutRecord record = m_view.getRecord(vertex);
    return {record.x, record.y, record.z};
}
