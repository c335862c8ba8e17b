// The curves the vertex stage evaluates, read back through transform feedback from the scene
// program itself, against the core's curves of the same graph: the same order, samples within
// 1e-4, the colours of every slot and the picking code, for any beta, in every view.
#include "CurveBuffers.h"
#include "RenderStates.h"
#include "SceneFixture.h"
#include "ShaderProgram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

// What the scene program hands on per sample: eye position (the object position under identity
// matrices), colour and texture coordinate 0.
struct Sample {
    float position[3];
    float color[4];
    float texCoord[4];
};

CurveBuffers::Colors distinctColors() {
    CurveBuffers::Colors colors;
    for (int slot = 0; slot < CurveBuffers::SLOT_COUNT; ++slot) {
        colors.start[slot] = {0.1f + 0.2f * slot, 0.9f, 0.25f, 0.8f - 0.1f * slot};
        colors.end[slot] = {0.7f, 0.05f * slot, 0.6f, 0.3f};
    }
    return colors;
}

class CurveEvaluationTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        m_program = std::make_unique<ShaderProgram>(
            "shader/shading_dir_vert.glsl", "shader/shading_dir_frag.glsl",
            std::vector<ShaderUniform>{}, CurveBuffers::kVertexPrelude);
        captureStdout([&] { m_program->buildProgram(); });
        const char* outputs[] = {"vEyePosition", "vColor", "vTexCoord0"};
        glTransformFeedbackVaryings(m_program->m_handle, 3, outputs, GL_INTERLEAVED_ATTRIBS);
        glLinkProgram(m_program->m_handle);
        ASSERT_TRUE(m_program->isLinked());
        CurveBuffers::assignSamplerUnits(m_program->m_handle);
    }

    // Every sample the buffers draw for the frame, curve by curve in list order.
    std::vector<Sample> capture(CurveBuffers::Frame frame) {
        const CurveBuffers& buffers = m_renderer->curveBuffers();
        const size_t perCurve = frame.draft ? 11 : size_t(buffers.sampleCount());
        const size_t curves = (buffers.curveCount() + frame.stride - 1) / frame.stride;
        std::vector<Sample> samples(curves * perCurve);
        GLuint feedback = 0;
        glGenBuffers(1, &feedback);
        glBindBuffer(GL_TRANSFORM_FEEDBACK_BUFFER, feedback);
        glBufferData(GL_TRANSFORM_FEEDBACK_BUFFER, samples.size() * sizeof(Sample), nullptr,
                     GL_STATIC_READ);
        glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, feedback);
        for (GLenum matrix : {GL_PROJECTION, GL_MODELVIEW}) {
            glMatrixMode(matrix);
            glLoadIdentity();
        }
        m_program->use();
        glEnable(GL_RASTERIZER_DISCARD);
        frame.mode = GL_POINTS;
        glBeginTransformFeedback(GL_POINTS);
        buffers.draw(frame);
        glEndTransformFeedback();
        glDisable(GL_RASTERIZER_DISCARD);
        glUseProgram(0);
        glGetBufferSubData(GL_TRANSFORM_FEEDBACK_BUFFER, 0, samples.size() * sizeof(Sample),
                           samples.data());
        glDeleteBuffers(1, &feedback);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        return samples;
    }

    // The captured curves of a view against the core's at the beta in force, each curve in the
    // colours of its slot (NORMAL unless slots names another).
    void expectCoreCurves(int view, const std::vector<Sample>& gpu, const std::string& what,
                          const std::vector<CurveBuffers::Slot>& slots = {}) {
        SplineStore::CurveList& list = curves(view);
        const CurveControls& controls = *m_renderer->curveControls();
        ASSERT_EQ(list.size(), controls.curveCount()) << what;
        const size_t m = SplineStore::kSampleCount;
        ASSERT_EQ(gpu.size(), list.size() * m) << what;
        const CurveBuffers::Colors colors = distinctColors();
        float worst = 0;
        std::vector<float> rgba(4 * m), tex(4 * m);
        for (size_t p = 0; p < list.size(); ++p) {
            ASSERT_EQ(uint32_t(list[p].getEdgeId()), controls.edgeAt(view, p)) << what << " " << p;
            const CurveBuffers::Slot slot = p < slots.size() ? slots[p] : CurveBuffers::NORMAL;
            Color4 start = colors.start[slot], end = colors.end[slot];
            // The edges of a picked vertex are not thinned by their length: as the core's
            // curves would draw them with their alpha multiplied by the control points.
            if (slot == CurveBuffers::OUTGOING || slot == CurveBuffers::INCOMING) {
                start[3] *= float(list[p].getControlCount());
            }
            list[p].setColors(start, end);
            list[p].writeColors(rgba.data());
            list[p].writeTexCoords(tex.data());
            for (size_t j = 0; j < m; ++j) {
                const Sample& s = gpu[p * m + j];
                const Point3 q = list[p].point(int32_t(j));
                for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(s.position[c] - q[c]));
                for (int c = 0; c < 4; ++c) {
                    ASSERT_NEAR(s.color[c], rgba[4 * j + c], 1e-6f) << what << " curve " << p;
                    ASSERT_NEAR(s.texCoord[c], tex[4 * j + c], 1e-6f) << what << " curve " << p;
                }
            }
        }
        EXPECT_LE(worst, 1e-4f) << what;
    }

    void expectEveryViewAndBeta(const std::string& graph) {
        for (float beta : {0.0f, 0.35f, 0.85f, 1.0f}) {
            g_renderStates.beta = beta;
            for (int view = 0; view < 5; ++view) {
                CurveBuffers::Frame frame;
                frame.viewType = view;
                frame.beta = beta;
                frame.colors = distinctColors();
                expectCoreCurves(
                    view, capture(frame),
                    graph + ", view " + std::to_string(view) + ", beta " + std::to_string(beta));
            }
        }
    }

    std::unique_ptr<ShaderProgram> m_program;
};

TEST_F(CurveEvaluationTest, GeneratedGraphsMatchTheCoreInEveryViewAndBeta) {
    // Deep narrow trees give long paths (up to 15 control points), wide ones many short ones.
    loadGenerated(200, 300, 5, 2, 8);
    expectEveryViewAndBeta("deep");
    loadGenerated(400, 500, 6, 6, 3);
    expectEveryViewAndBeta("wide");
}

TEST_F(CurveEvaluationTest, SampleGraphMatchesTheCore) {
    loadFile("data/ramiflex.xml");
    expectEveryViewAndBeta("sample");
}

// Slots give a curve the colours of a pick or of a picked vertex's edges. Draft frames draw every
// fifth sample and the last of every stride-th curve, exactly where the full frame has them.
TEST_F(CurveEvaluationTest, SlotsAndDraftSamples) {
    loadGenerated(80, 60, 7, 3, 5);
    const int view = 1;
    CurveBuffers& buffers = const_cast<CurveBuffers&>(m_renderer->curveBuffers());
    buffers.setSlots(view, {0, 3}, CurveBuffers::SELECTED);
    buffers.setSlots(view, {1}, CurveBuffers::OUTGOING);
    buffers.setSlots(view, {2}, CurveBuffers::INCOMING);
    CurveBuffers::Frame frame;
    frame.viewType = view;
    frame.beta = g_renderStates.beta;
    frame.colors = distinctColors();
    const std::vector<Sample> full = capture(frame);
    expectCoreCurves(view, full, "slots",
                     {CurveBuffers::SELECTED, CurveBuffers::OUTGOING, CurveBuffers::INCOMING,
                      CurveBuffers::SELECTED});
    frame.draft = true;
    frame.stride = 3;
    const std::vector<Sample> draft = capture(frame);
    const size_t m = SplineStore::kSampleCount, count = buffers.curveCount();
    ASSERT_EQ(draft.size(), (count + 2) / 3 * 11);
    for (size_t p = 0; p < count; p += 3) {
        for (size_t k = 0; k < 11; ++k) {
            const Sample& a = draft[p / 3 * 11 + k];
            const Sample& b = full[p * m + std::min(5 * k, m - 1)];
            for (int c = 0; c < 3; ++c) ASSERT_EQ(a.position[c], b.position[c]) << p << " " << k;
            ASSERT_EQ(a.texCoord[2], b.texCoord[2]) << p;
        }
    }
}

}  // namespace
