#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class View;

// A view's layout positions flattened into one array by vertex id, three floats a vertex, the
// form the curve builders and the GL upload read.
class VertexPositions {
public:
    VertexPositions(const View& view, size_t vertexCount);

    // x, y, z of a vertex's record; zero for a vertex without one.
    std::array<float, 3> at(uint32_t vertex) const;
    // x, y, z per vertex id below the count, zero where the view has no record.
    const std::vector<float>& coordinates() const { return m_coordinates; }

private:
    const View& m_view;
    std::vector<float> m_coordinates;
};
