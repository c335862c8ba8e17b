#pragma once

#include "ObjectPool.h"
#include "Strip.h"
#include "Vertex.h"

#include <boost/shared_ptr.hpp>

#include <vector>

// The rectangle of one vertex in a treemap and the strips (rows) its children are grouped into.
class MapVertex {
public:
    // Starts with one empty strip, so a rectangle always has at least one.
    MapVertex(const VertexPtr& vertex, double width, double height);
    // The same, with this rectangle's strips taken from a pool.
    MapVertex(const VertexPtr& vertex, double width, double height,
              const boost::shared_ptr<ObjectPool<Strip>>& stripPool);

    double getWidth() const { return m_width; }
    double getHeight() const { return m_height; }
    const VertexPtr& getVertex() const { return m_vertex; }
    const std::vector<StripPtr>& getStrips() const { return m_strips; }
    size_t stripCount() const { return m_strips.size(); }
    const StripPtr& getStrip(size_t index) const { return m_strips[index]; }
    const StripPtr& lastStrip() const { return m_strips.back(); }
    void addStrip();
    // Room for this many strips in all, so a row of appends does not reallocate.
    void reserveStrips(size_t count) { m_strips.reserve(count); }

    // How far from square the cells of the last strip are: the larger of cell width over strip
    // height and its inverse, so at least 1.
    float aspectRatio() const;
    // The same for a rectangle of the given size with `strips` strips, the last holding `cells`.
    static float aspectRatio(double width, double height, size_t strips, size_t cells);

private:
    double m_width;   // along x
    double m_height;  // along z
    VertexPtr m_vertex;
    std::vector<StripPtr> m_strips;
    boost::shared_ptr<ObjectPool<Strip>> m_stripPool;  // where strips come from; else the heap
};

using MapVertexPtr = boost::shared_ptr<MapVertex>;
