#pragma once

// A renderer on real graphs, drawing into a framebuffer object that stands in for the toolkit's
// framebuffer: loads graphs, renders frames with fixed cameras, reads the shown picture back,
// projects layout points to pixels and picks.
#include "Camera.h"
#include "DataRecord.h"
#include "FrameBuffer.h"
#include "GlFixture.h"
#include "GraphStore.h"
#include "Light.h"
#include "RenderImplementation.h"
#include "SplineStore.h"
#include "View.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace scene {

struct Pixel {
    int x, y;  // device pixels of the surface from its top-left corner, y down, as pick takes them
};

// 8-bit RGB picture, rows bottom-up as OpenGL reads them.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;

    std::array<int, 3> at(int x, int y) const;
    bool operator==(const Picture& other) const { return rgb == other.rgb; }
};

struct PictureDifference {
    double meanAbsolute = 0;  // per channel, over all pixels, in 0..255
    double offFraction = 0;   // share of pixels with some channel more than the threshold off
    int maxChannel = 0;
};

PictureDifference compare(const Picture& a, const Picture& b, int threshold);
// Pixels where the two pictures differ in some channel by more than threshold.
int countDifferent(const Picture& a, const Picture& b, int threshold);

// PNG through DevIL, upright on disk.
bool savePng(const Picture& picture, const std::string& path);
bool loadPng(const std::string& path, Picture* picture);

// An orthographic camera per view that frames the layout: the rooted tree stands in the x-y
// plane and is seen from the front, the other layouts lie in the x-z plane and are seen from
// above.
std::unique_ptr<Camera> cameraFor(int viewType);

// The default start values of the render states with the picture kept simple: shadows off.
void resetRenderStates();
// A root (0) with four children (1 .. 4), each with two leaves (5 .. 12), plus the relation edges
// given as (start, end) pairs of ids.
std::vector<DataRecord> fourBranchTree(const std::vector<std::pair<int, int>>& relations);

}  // namespace scene

class SceneTest : public GlTest {
protected:
    void SetUp() override;
    void TearDown() override;

    void load(const std::vector<DataRecord>& records);
    void loadGenerated(uint32_t vertices, uint64_t relations, uint64_t seed, uint32_t fanOut = 3,
                       uint32_t maxDepth = 4);

    // An orthographic camera of aspect 4:3 around everything the view draws (vertices and curve
    // samples) with a margin: the rooted tree from the front, the other layouts from above.
    std::unique_ptr<Camera> fittingCamera(int viewType) const;
    // Everything the view draws (vertices and curve samples) in drawn coordinates, as the drawing
    // surface hands it to the renderer when it frames the view.
    SceneBounds boundsOf(int viewType) const;
    // One frame of viewType with the view's framing camera (or the camera given).
    void frame(int viewType);
    void frameWith(int viewType, std::unique_ptr<Camera> camera);
    // The picture the last frame showed.
    scene::Picture picture() const;
    std::array<float, 4> pickingCode(int x, int y) const;

    scene::Pixel project(float x, float y, float z) const;
    scene::Pixel projectVertex(int viewType, uint32_t id) const;
    // Bottom-up picture coordinates of a surface pixel.
    static int column(scene::Pixel p) { return p.x; }
    int row(scene::Pixel p) const { return m_height - 1 - p.y; }
    // A surface of width x height device pixels: a new stand-in framebuffer of that size, and
    // the renderer told so.
    void resizeSurface(int width, int height);

    void pick(scene::Pixel p);
    // Picks around p until the selection satisfies found; lines are one pixel wide.
    template <typename Found>
    bool pickNear(scene::Pixel p, Found found) {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                pick({p.x + dx, p.y + dy});
                if (found(m_renderer->selection())) return true;
            }
        }
        return false;
    }

    std::vector<float> hierarchyColors(int viewType) const;
    const SplineStore::CurveList& curves(int viewType) const {
        return *m_renderer->splines()->curvesFor(viewType);
    }

    std::unique_ptr<FrameBuffer> m_screen;
    int m_width = 1024, m_height = 768;
    std::unique_ptr<RenderImplementation> m_renderer;
    std::unique_ptr<GraphStore> m_graph;
    std::unique_ptr<View> m_views[5];
    View* m_viewTable[5] = {};
    std::unique_ptr<Camera> m_camera;
    Light m_light;
};
