#pragma once

#include "Vertex.h"

#include <boost/shared_ptr.hpp>

#include <vector>

// One row of a treemap rectangle: the children placed in it, in placement order. Every cell of
// a strip has the same width.
class Strip {
public:
    void addVertex(const VertexPtr& vertex) { m_items.push_back(vertex); }
    void removeLastVertex() { m_items.pop_back(); }
    // Room for this many vertices in all.
    void reserve(size_t count) { m_items.reserve(count); }
    const VertexPtr& getVertex(size_t index) const { return m_items[index]; }
    size_t vertexCount() const { return m_items.size(); }
    const std::vector<VertexPtr>& items() const { return m_items; }

private:
    std::vector<VertexPtr> m_items;
};

using StripPtr = boost::shared_ptr<Strip>;
