#include "RootedTree.h"

#include "OpeningWatch.h"

#include "BreadthFirstTree.h"
#include "GraphStore.h"
#include "LayoutSupport.h"

#include <vector>

void RootedTree::calculate() {
    const GraphStore* graph = &this->graph();
    if (!graph->getRoot()) return;
    const BreadthFirstTree tree(*graph);
    const double depths = static_cast<double>(graph->depthCount());
    std::vector<LayoutRecord> records(tree.size());
    auto place = [&](uint32_t position, float x) {
        records[position] =
            layout::treeRecord(x, static_cast<float>(tree.level(position) / depths), 0.0f, 0.2f);
    };

    // Leaves evenly spaced in id order: 0, 1/K, ..., (K-1)/K, not centred.
    const std::vector<uint32_t> leaves = tree.leavesById();
    const double leafCount = static_cast<double>(leaves.size());
    for (size_t p = 0; p < leaves.size(); ++p) {
        place(leaves[p], static_cast<float>(static_cast<double>(p) / leafCount));
    }

    // Each inner vertex takes the single-precision mean of its children's final x. Climbing one
    // level per pass from every leaf would write a vertex once per leaf below it, the last time
    // after all its children are final; reverse breadth-first order gives those final values
    // directly, visiting each vertex once.
    for (uint32_t position = tree.size(); position-- > 0;) {
        OpeningWatch::step(tree.size() - position, tree.size());
        const uint32_t children = tree.childCount(position);
        if (children == 0) continue;
        const uint32_t first = tree.firstChild(position);
        float sum = 0.0f;
        for (uint32_t child = first; child < first + children; ++child) sum += records[child].x;
        place(position, sum / static_cast<float>(children));
    }

    layout::storeRecords(m_records, tree, records);
}
