#include "RadialTree.h"

#include "BreadthFirstTree.h"
#include "GraphStore.h"
#include "LayoutGraph.h"
#include "LayoutSupport.h"
#include "Trace.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Degrees to radians with single-precision pi.
const double kDegreesToRadians = static_cast<double>(3.14159265358979323846f) / 180.0;

}  // namespace

void RadialTree::calculate() {
    const GraphStore* graph = layoutGraph();
    if (!graph || !graph->getRoot()) return;
    const BreadthFirstTree tree(*graph);
    const int32_t depths = static_cast<int32_t>(graph->depthCount());

    // Angles in degrees by position; a vertex without one counts as 0.
    std::vector<double> angle(tree.size(), 0.0);
    std::vector<uint8_t> hasAngle(tree.size(), 0);
    // The vertices still to be given an angle, split by level, each level in order of
    // discovery. A pass over one level walks the whole list backwards and skips every other
    // level, so walking that level's part backwards meets the same vertices in the same order;
    // a membership flag replaces the search before each append.
    std::vector<std::vector<uint32_t>> pending(std::max<int32_t>(depths, 1));
    std::vector<uint8_t> isPending(tree.size(), 0);
    size_t pendingCount = 0;
    auto addPending = [&](uint32_t position) {
        if (position == BreadthFirstTree::kNone || isPending[position]) return;
        isPending[position] = 1;
        ++pendingCount;
        const int32_t level = tree.level(position);
        if (level >= 0 && level < depths) pending[level].push_back(position);
    };

    trace() << "Radialtree 0\n";
    const std::vector<uint32_t> leaves = tree.leavesById();
    const double step = 360.0 / static_cast<double>(leaves.size());
    double running = 0.0;
    for (uint32_t leaf : leaves) {
        if (!hasAngle[leaf]) {
            hasAngle[leaf] = 1;
            angle[leaf] = running;
        }
        running += step;
        addPending(tree.parent(leaf));
    }

    trace() << "Radialtree 1\n";
    std::ostream& out = trace();
    // A silenced trace drops everything; skipping the formatting of a million lines is the same.
    const bool tracing = out.good();
    for (int32_t level = depths - 2; level >= 1 && pendingCount > 0; --level) {
        const std::vector<uint32_t>& entries = pending[level];
        for (size_t i = entries.size(); i-- > 0;) {
            const uint32_t position = entries[i];
            if (tracing) out << "begin\n";
            // Children's angles are averaged as numbers, without wrap-around.
            double sum = 0.0;
            const uint32_t first = tree.firstChild(position);
            const uint32_t children = tree.childCount(position);
            for (uint32_t child = first; child < first + children; ++child) {
                const float childAngle = static_cast<float>(angle[child]);
                if (tracing) out << "tmphelp:" << childAngle << '\n';
                sum += childAngle;
            }
            const double mean = sum / static_cast<double>(children);
            if (tracing) out << "ANGLE:" << mean << '\n';
            const uint32_t parent = tree.parent(position);
            if (!hasAngle[position]) {
                hasAngle[position] = 1;
                angle[position] = parent != BreadthFirstTree::kNone ? mean : 0.0;
            }
            if (tracing) out << "before\n";
            addPending(parent);
            if (tracing) out << "after\n";
            if (tracing) out << "ende\n";
        }
    }

    trace() << "Radialtree 2\n";
    std::vector<LayoutRecord> records(tree.size());
    for (uint32_t position = 0; position < tree.size(); ++position) {
        const double theta =
            static_cast<double>(static_cast<float>(angle[position])) * kDegreesToRadians;
        const float rho = static_cast<float>(tree.level(position)) / static_cast<float>(depths);
        records[position] = layout::treeRecord(static_cast<float>(rho * std::cos(theta)), 0.0f,
                                               static_cast<float>(rho * std::sin(theta)), 0.8f);
    }
    layout::storeRecords(m_nodeRecords, tree, records);
}
