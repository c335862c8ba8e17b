#include "LayoutGraph.h"

#include "GraphStore.h"

namespace {

thread_local GraphStore* t_graph = nullptr;
thread_local bool t_set = false;

}  // namespace

GraphStore* layoutGraph() { return t_set ? t_graph : g_graph; }

LayoutGraph::LayoutGraph(GraphStore* graph) : m_previous(t_graph), m_previousSet(t_set) {
    t_graph = graph;
    t_set = true;
}

LayoutGraph::~LayoutGraph() {
    t_graph = m_previous;
    t_set = m_previousSet;
}
