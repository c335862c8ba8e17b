#pragma once

class GraphStore;

// The graph the layouts of this thread lay out: the one a LayoutGraph scope set on this thread,
// otherwise the published g_graph. A graph opened in the background is laid out before it is
// published, while the GUI thread still draws the previous one through g_graph; giving the
// layouts their graph per thread keeps them off g_graph without changing what they compute.
GraphStore* layoutGraph();

class LayoutGraph {
public:
    // Layouts calculated on this thread while the scope lives read graph.
    explicit LayoutGraph(GraphStore* graph);
    ~LayoutGraph();
    LayoutGraph(const LayoutGraph&) = delete;
    LayoutGraph& operator=(const LayoutGraph&) = delete;

private:
    GraphStore* m_previous;
    bool m_previousSet;
};
