#include "RadialTree.h"

#include "OpeningWatch.h"

#include "Matrix.h"
#include "BreadthFirstTree.h"
#include "GraphStore.h"
#include "LayoutSupport.h"
#include "Trace.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Angles in degrees by breadth-first position, leaves first, then each inner level from the
// deepest up; a vertex without one counts as 0.
class AngleSweep {
public:
    AngleSweep(const BreadthFirstTree& tree, int32_t depths)
        : m_tree(tree),
          m_depths(depths),
          m_angle(tree.size(), 0.0),
          m_hasAngle(tree.size(), 0),
          m_pending(std::max<int32_t>(depths, 1)),
          m_isPending(tree.size(), 0) {}

    // The leaves spread evenly round the circle in id order.
    void placeLeaves() {
        const std::vector<uint32_t> leaves = m_tree.leavesById();
        const double step = 360.0 / static_cast<double>(leaves.size());
        double running = 0.0;
        for (uint32_t leaf : leaves) {
            setAngle(leaf, running);
            running += step;
            addPending(m_tree.parent(leaf));
        }
    }

    // Each pending vertex at the mean of its children, level by level upwards, with the trace
    // lines of every vertex.
    void placeInnerVertices(std::ostream& out) {
        // A silenced trace drops everything; skipping the formatting of a million lines is the
        // same.
        const bool tracing = out.good();
        for (int32_t level = m_depths - 2; level >= 1 && m_pendingCount > 0; --level) {
            const std::vector<uint32_t>& entries = m_pending[level];
            for (size_t i = entries.size(); i-- > 0;) {
                const uint32_t position = entries[i];
                if (tracing) out << "begin\n";
                const double mean = childMean(position, tracing, out);
                if (tracing) out << "ANGLE:" << mean << '\n';
                const uint32_t parent = m_tree.parent(position);
                setAngle(position, parent != BreadthFirstTree::kNone ? mean : 0.0);
                if (tracing) out << "before\n";
                addPending(parent);
                if (tracing) out << "after\n";
                if (tracing) out << "ende\n";
            }
        }
    }

    const std::vector<double>& angles() const { return m_angle; }

private:
    // Children's angles are averaged as numbers, without wrap-around.
    double childMean(uint32_t position, bool tracing, std::ostream& out) const {
        double sum = 0.0;
        const uint32_t first = m_tree.firstChild(position);
        const uint32_t children = m_tree.childCount(position);
        for (uint32_t child = first; child < first + children; ++child) {
            const float childAngle = static_cast<float>(m_angle[child]);
            if (tracing) out << "tmphelp:" << childAngle << '\n';
            sum += childAngle;
        }
        return sum / static_cast<double>(children);
    }

    // The first angle a vertex gets is the one it keeps.
    void setAngle(uint32_t position, double angle) {
        if (m_hasAngle[position]) return;
        m_hasAngle[position] = 1;
        m_angle[position] = angle;
    }

    // The vertices still to be given an angle, split by level, each level in order of
    // discovery. A pass over one level walks the whole list backwards and skips every other
    // level, so walking that level's part backwards meets the same vertices in the same order;
    // a membership flag replaces the search before each append.
    void addPending(uint32_t position) {
        if (position == BreadthFirstTree::kNone || m_isPending[position]) return;
        m_isPending[position] = 1;
        ++m_pendingCount;
        const int32_t level = m_tree.level(position);
        if (level >= 0 && level < m_depths) m_pending[level].push_back(position);
    }

    const BreadthFirstTree& m_tree;
    const int32_t m_depths;
    std::vector<double> m_angle;
    std::vector<uint8_t> m_hasAngle;
    std::vector<std::vector<uint32_t>> m_pending;
    std::vector<uint8_t> m_isPending;
    size_t m_pendingCount = 0;
};

}  // namespace

void RadialTree::calculate() {
    const GraphStore* graph = &this->graph();
    if (!graph->getRoot()) return;
    const BreadthFirstTree tree(*graph);
    const int32_t depths = static_cast<int32_t>(graph->depthCount());
    AngleSweep sweep(tree, depths);
    trace() << "Radialtree 0\n";
    sweep.placeLeaves();
    trace() << "Radialtree 1\n";
    sweep.placeInnerVertices(trace());

    trace() << "Radialtree 2\n";
    const std::vector<double>& angle = sweep.angles();
    std::vector<LayoutRecord> records(tree.size());
    for (uint32_t position = 0; position < tree.size(); ++position) {
        OpeningWatch::step(position, tree.size());
        const double theta =
            static_cast<double>(static_cast<float>(angle[position])) * math::kDegreesToRadians;
        const float rho = static_cast<float>(tree.level(position)) / static_cast<float>(depths);
        records[position] = layout::treeRecord(static_cast<float>(rho * std::cos(theta)), 0.0f,
                                               static_cast<float>(rho * std::sin(theta)), 0.8f);
    }
    layout::storeRecords(m_records, tree, records);
}
