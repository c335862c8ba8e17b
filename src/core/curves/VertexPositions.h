#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class View;

// A view's layout positions flattened by vertex id: walking millions of tree paths through the
// view's map would dominate the work.
class VertexPositions {
public:
    VertexPositions(View& view, size_t vertexCount);

    // x, y, z of a vertex's record. A vertex without one gets an all-zero record, as a lookup
    // through the view would give it.
    std::array<float, 3> at(uint32_t vertex);
    // x, y, z per vertex id below the count, zero where the view has no record.
    const std::vector<float>& coordinates() const { return m_coordinates; }

private:
    View& m_view;
    std::vector<float> m_coordinates;
    std::vector<char> m_known;
};
