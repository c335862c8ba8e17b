#pragma once

#include "LayoutRecords.h"

#include <cstdint>

class GraphStore;

// A layout of one graph, given when the view is made: calculate() computes one LayoutRecord per
// vertex id. The view only reads the graph, which must outlive it.
class View {
public:
    explicit View(const GraphStore& graph) : m_graph(graph) {}
    virtual ~View() = default;
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    virtual void calculate() = 0;

    const GraphStore& graph() const { return m_graph; }
    // The record of id; all zero for an id the layout gave none.
    LayoutRecord getRecord(uint32_t id) const { return m_records.get(id); }
    LayoutRecord& record(uint32_t id) { return m_records.set(id); }
    const LayoutRecords& records() const { return m_records; }

protected:
    LayoutRecords m_records;

private:
    const GraphStore& m_graph;
};
