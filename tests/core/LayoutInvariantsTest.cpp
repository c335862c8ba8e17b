// Properties every layout keeps on families of generated graphs (seeds, fan-outs, depths,
// shuffled ids), larger than the quadratic comparisons can afford. That every vertex gets a
// record of finite numbers is the pipeline fuzz target's check.
#include "BallonTree.h"
#include "FiveViews.h"
#include "LayoutTestGraph.h"
#include "TreeMap.h"
#include "ViewType.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(LayoutInvariants, HoldInEveryViewOfGeneratedGraphs) {
    for (const GeneratorParams& params : graphFamily(3000, 2)) {
        const auto laid = layOutFiveViews(describe(params), GraphGenerator(params).records());
        const GraphStore& graph = *laid->graph;
        const auto& views = laid->views;
        // The rooted tree centres every inner vertex over its children.
        const View& rooted = *views[VIEW_ROOTED_TREE];
        const double depths = static_cast<double>(graph.depthCount());
        for (const auto& [id, vertex] : graph.vertices()) {
            const LayoutRecord record = rooted.getRecord(id);
            EXPECT_GE(record.x, 0.0f);
            EXPECT_LT(record.x, 1.0f);
            EXPECT_FLOAT_EQ(record.y, vertex->getLevel() / depths);
            if (vertex->getChildCount() == 0) continue;
            float sum = 0.0f;
            for (const VertexPtr& child : vertex->children())
                sum += rooted.getRecord(child->getId()).x;
            ASSERT_EQ(record.x, sum / vertex->getChildCount()) << describe(params) << " id " << id;
        }
        // The radial tree puts every depth on its own circle.
        const View& radial = *views[VIEW_RADIAL_TREE];
        for (const auto& [id, vertex] : graph.vertices()) {
            const LayoutRecord record = radial.getRecord(id);
            EXPECT_EQ(record.y, 0.0f);
            ASSERT_NEAR(std::hypot(record.x, record.z), vertex->getLevel() / depths, 1e-6)
                << describe(params) << " id " << id;
        }
        // Balloon children lie on their parent's circle.
        const auto& balloonView = static_cast<const BallonTree&>(*views[VIEW_BALLON_TREE]);
        ASSERT_EQ(balloonView.balloons().size(), graph.vertexCount());
        for (const auto& [id, vertex] : graph.vertices()) {
            const LayoutRecord parent = balloonView.getRecord(id);
            const VertexBallon& balloon = *balloonView.balloons().at(id);
            EXPECT_GE(balloon.m_radius, balloon.m_innerRadius);
            for (const VertexPtr& child : vertex->children()) {
                const LayoutRecord record = balloonView.getRecord(child->getId());
                const double distance = std::hypot(record.x - parent.x, record.z - parent.z);
                // The child is its parent's float position plus the offset, rounded once.
                const double rounding =
                    1.2e-7 * (std::fabs(record.x) + std::fabs(record.z) + balloon.m_radius);
                ASSERT_NEAR(distance, balloon.m_radius, rounding)
                    << describe(params) << " id " << child->getId();
                ASSERT_NEAR(record.y - parent.y, child->getLevel() / depths, 1e-5);
            }
        }
        // Treemap children tile their parent's rectangle.
        for (int type : {VIEW_SLICE_AND_DICE, VIEW_STRIP_TREEMAP}) {
            const auto& view = static_cast<const TreeMap&>(*views[type]);
            ASSERT_EQ(view.mapVertices().size(), graph.vertexCount());
            for (const auto& [id, cell] : view.mapVertices()) {
                ASSERT_GE(cell->stripCount(), 1u);
                const LayoutRecord centre = view.getRecord(id);
                const double left = centre.x - 0.5 * cell->getWidth();
                double top = centre.z - 0.5 * cell->getHeight();
                const double stripHeight = cell->getHeight() / cell->stripCount();
                size_t placed = 0;
                size_t row = 0;
                for (const StripPtr& strip : cell->getStrips()) {
                    double x = left;
                    size_t column = 0;
                    for (const VertexPtr& vertex : strip->items()) {
                        // Corners are float sums of float cell sizes: the error grows with the
                        // number of cells before this one.
                        const double xTolerance = 1.2e-7 * (column + 4);
                        const double zTolerance = 1.2e-7 * (row + 4);
                        const MapVertex& child = *view.mapVertices().at(vertex->getId());
                        const LayoutRecord record = view.getRecord(vertex->getId());
                        // One height for all strips, one width per strip, no gaps or overlaps.
                        ASSERT_EQ(child.getHeight(), stripHeight) << describe(params);
                        ASSERT_EQ(child.getWidth(), cell->getWidth() / strip->vertexCount());
                        ASSERT_NEAR(record.x - 0.5 * child.getWidth(), x, xTolerance);
                        ASSERT_NEAR(record.z - 0.5 * child.getHeight(), top, zTolerance);
                        x += child.getWidth();
                        ++placed;
                        ++column;
                    }
                    if (strip->vertexCount() > 0) {
                        ASSERT_NEAR(x, left + cell->getWidth(), 1e-12);
                    }
                    top += stripHeight;
                    ++row;
                }
                ASSERT_NEAR(top, centre.z + 0.5 * cell->getHeight(), 1e-7);
                ASSERT_EQ(placed, cell->getVertex()->getChildCount());
            }
        }
    }
}

}  // namespace
