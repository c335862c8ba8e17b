#pragma once

// The one helper of the GL tests: a renderer on real graphs in a real context (run under
// xvfb-run), drawing into a framebuffer object that stands in for the toolkit's framebuffer.
#include <GL/glew.h>

#include "DataRecord.h"
#include "FrameBuffer.h"
#include "GraphStore.h"
#include "RenderImplementation.h"  // with Camera.h, Light.h and RenderStates.h
#include "SplineStore.h"
#include "View.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

struct Pixel {
    int x, y;  // device pixels of the surface from its top-left corner, y down, as pick takes them
};

// 8-bit RGB picture, rows bottom-up as OpenGL reads them.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    std::array<int, 3> at(int x, int y) const {
        const size_t i = (size_t(y) * width + x) * 3;
        return {rgb[i], rgb[i + 1], rgb[i + 2]};
    }
};

// How far two pictures' channels (floats, or bytes as floats) lie apart: the mean channel
// difference, and the share of pixels with a channel more than 24 steps off.
struct PictureDifference {
    double mean = 0, offShare = 0;
};
PictureDifference differenceOf(const std::vector<float>& a, const std::vector<float>& b);

// Makes the shared context current (loading the entry points through GLEW) and a renderer in it.
class SceneTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void load(const std::vector<DataRecord>& records);
    // As the viewer opens files: curve controls made off the renderer.
    void loadFile(const std::string& path);
    void loadGenerated(uint32_t vertices, uint64_t relations, uint64_t seed, uint32_t fanOut = 3,
                       uint32_t maxDepth = 4);

    // Everything the view draws (vertices and curve samples) in drawn coordinates.
    SceneBounds boundsOf(int viewType) const;
    // An orthographic camera of aspect 4:3 around boundsOf(viewType) with a margin: the rooted
    // tree from the front, the other layouts (in the x-z plane) from above.
    std::unique_ptr<Camera> fittingCamera(int viewType) const;
    void frameWith(int viewType, std::unique_ptr<Camera> camera);
    // The first frame takes colours, beta and light, the second shows them.
    void twoFrames(int viewType, std::unique_ptr<Camera> (*camera)() = nullptr);
    Picture picture() const;

    Pixel project(float x, float y, float z) const;
    Pixel projectVertex(int viewType, uint32_t id) const;
    std::array<int, 3> shown(const Picture& shot, Pixel p) const {
        return shot.at(p.x, m_height - 1 - p.y);
    }
    void resizeSurface(int width, int height);

    void pick(Pixel p) { m_renderer->pick(p.x, p.y); }
    const Selection& selection() const { return m_renderer->selection(); }

    std::vector<float> hierarchyColors(int viewType) const;
    // The core's curves of the shown graph at the beta in force, in the renderer's order.
    SplineStore::CurveList& curves(int viewType) const;

    std::unique_ptr<FrameBuffer> m_screen;
    int m_width = 1024, m_height = 768;
    std::unique_ptr<RenderImplementation> m_renderer;
    std::unique_ptr<GraphStore> m_graph;
    std::unique_ptr<View> m_views[5];
    std::unique_ptr<Camera> m_camera;
    Light m_light;
    View* m_viewTable[5] = {};  // the views as CreateObjects takes them
    // The settings every frame is drawn with.
    RenderStates m_states;

private:
    void show();

    mutable std::unique_ptr<SplineStore> m_reference;
    mutable float m_referenceBeta = 0;
};
