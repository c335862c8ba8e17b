#pragma once

#include "LayoutRecord.h"

#include <cstdint>
#include <map>

// A layout of the graph layoutGraph() gives: one LayoutRecord per vertex id.
class View {
public:
    virtual ~View() = default;
    virtual void calculate() = 0;

    // Find-or-insert: an id without a record gets an all-zero one.
    LayoutRecord getRecord(uint32_t id) { return m_nodeRecords[id]; }
    LayoutRecord& record(uint32_t id) { return m_nodeRecords[id]; }
    const std::map<uint32_t, LayoutRecord>& records() const { return m_nodeRecords; }

    // Hierarchy-edge vertex buffers; made and filled by the renderer, never by a layout.
    uint32_t m_hierarchyPositionBuffer = 0;
    uint32_t m_hierarchyColorBuffer = 0;
    uint32_t m_hierarchyTexCoordBuffer = 0;

protected:
    std::map<uint32_t, LayoutRecord> m_nodeRecords;
};
