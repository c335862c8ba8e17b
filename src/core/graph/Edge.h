#pragma once

#include "Vertex.h"

#include <utility>

// Base of both edge kinds; the kinds are told apart by type and kept in separate maps.
class Edge {
public:
    // By value, so that a builder handing over its own pointers moves them in.
    Edge(VertexPtr start, VertexPtr end) : m_start(std::move(start)), m_end(std::move(end)) {}
    virtual ~Edge() = default;

    VertexPtr getStart() const { return m_start; }
    VertexPtr getEnd() const { return m_end; }
    uint32_t getId() const { return m_id; }
    void setId(uint32_t id) { m_id = id; }

private:
    VertexPtr m_start;
    VertexPtr m_end;
    uint32_t m_id = 0;
};
