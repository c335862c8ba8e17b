// The curves the vertex stage evaluates, read back through transform feedback from the renderer's
// scene program, against the core's curves of the same graph: the same order, samples within
// 1e-4, the colours of every slot and the picking code, for any beta, in every view; and draft
// frames' samples exactly where the full frame has them.
#include "CurveBuffers.h"
#include "GlScene.h"
#include "RenderStates.h"
#include "ShaderProgram.h"
#include "SplineCurve.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

// What the scene program hands on per sample: eye position (the object position under identity
// matrices), colour and texture coordinate 0.
struct Sample {
    float position[3], color[4], texCoord[4];
};

class CurveEvaluationTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        if (HasFatalFailure()) return;
        m_program = m_renderer->program(0)->m_handle;  // linked again to hand its outputs back
        const char* outputs[] = {"vEyePosition", "vColor", "vTexCoord0"};
        glTransformFeedbackVaryings(m_program, 3, outputs, GL_INTERLEAVED_ATTRIBS);
        glLinkProgram(m_program);
        ASSERT_TRUE(m_renderer->program(0)->isLinked());
        CurveBuffers::assignSamplerUnits(m_program);
        for (int slot = 0; slot < CurveBuffers::SLOT_COUNT; ++slot) {
            m_colors.start[slot] = {0.1f + 0.2f * slot, 0.9f, 0.25f, 0.8f - 0.1f * slot};
            m_colors.end[slot] = {0.7f, 0.05f * slot, 0.6f, 0.3f};
        }
    }

    // Every sample the buffers draw for a frame of the view, curve by curve in list order.
    std::vector<Sample> capture(int view, bool draft, int stride) {
        const CurveBuffers& buffers = m_renderer->curveBuffers();
        CurveBuffers::Frame frame{view, m_states.beta, m_colors, draft, stride, GL_POINTS, 0, {}};
        const size_t curves = (buffers.curveCount() + stride - 1) / stride;
        std::vector<Sample> samples(curves * (draft ? 11 : size_t(buffers.sampleCount())));
        const size_t bytes = samples.size() * sizeof(Sample);
        GLuint feedback = 0;
        glGenBuffers(1, &feedback);
        glBindBuffer(GL_TRANSFORM_FEEDBACK_BUFFER, feedback);
        glBufferData(GL_TRANSFORM_FEEDBACK_BUFFER, bytes, nullptr, GL_STATIC_READ);
        glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, feedback);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glUseProgramObjectARB(m_program);
        glEnable(GL_RASTERIZER_DISCARD);
        glBeginTransformFeedback(GL_POINTS);
        buffers.draw(frame);
        glEndTransformFeedback();
        glDisable(GL_RASTERIZER_DISCARD);
        glUseProgram(0);
        glGetBufferSubData(GL_TRANSFORM_FEEDBACK_BUFFER, 0, bytes, samples.data());
        glDeleteBuffers(1, &feedback);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        return samples;
    }

    GLhandleARB m_program = 0;
    CurveBuffers::Colors m_colors;
};

TEST_F(CurveEvaluationTest, GraphsMatchTheCoreInEveryViewBetaAndSlot) {
    // A deep narrow tree gives long paths (up to 15 control points); the sample file's curves
    // are made off the renderer, as the viewer opens files. Curve p is in slot p % 4.
    const size_t m = SplineStore::kSampleCount;
    for (const std::string graph : {"deep", "data/ramiflex.xml"}) {
        graph == "deep" ? loadGenerated(200, 300, 5, 2, 8) : loadFile(graph);
        CurveBuffers& buffers = const_cast<CurveBuffers&>(m_renderer->curveBuffers());
        const CurveControls& controls = *m_renderer->curveControls();
        if (graph == "deep") {
            // Edges standing for several merged ones: weights 1 to 5, alpha times 1 + log2.
            std::vector<uint32_t> weights(controls.curveCount() + 1);
            for (size_t e = 0; e < weights.size(); ++e) weights[e] = uint32_t(e % 5 + 1);
            const_cast<CurveControls&>(controls).setEdgeWeights(weights);
            ASSERT_TRUE(buffers.create(controls));
        }
        std::vector<int32_t> positions[CurveBuffers::SLOT_COUNT];
        for (size_t p = 0; p < controls.curveCount(); ++p) positions[p % 4].push_back(int32_t(p));
        for (int view = 0; view < 5; ++view) {
            for (int slot = 0; slot < CurveBuffers::SLOT_COUNT; ++slot)
                buffers.setSlots(view, positions[slot], CurveBuffers::Slot(slot));
        }
        for (float beta : {0.0f, 0.35f, 0.85f, 1.0f}) {
            m_states.beta = beta;
            for (int view = 0; view < 5; ++view) {
                const std::string what =
                    graph + ", view " + std::to_string(view) + ", beta " + std::to_string(beta);
                const std::vector<Sample> gpu = capture(view, false, 1);
                SplineStore::CurveList& list = curves(view);
                ASSERT_EQ(list.size(), controls.curveCount()) << what;
                ASSERT_EQ(gpu.size(), list.size() * m) << what;
                float worst = 0;
                std::vector<float> rgba(4 * m), tex(4 * m);
                for (size_t p = 0; p < list.size(); ++p) {
                    ASSERT_EQ(uint32_t(list[p].getEdgeId()), controls.edgeAt(view, p)) << what;
                    // The edges of a picked vertex are not thinned by their length: as the
                    // core's curves would draw them with their alpha times the control points.
                    Color4 start = m_colors.start[p % 4];
                    start[3] *= p % 4 >= CurveBuffers::OUTGOING
                                    ? float(list[p].getControlCount())
                                    : controls.alphaScale(controls.order(view)[p]);
                    list[p].setColors(start, m_colors.end[p % 4]);
                    list[p].writeColors(rgba.data());
                    list[p].writeTexCoords(tex.data());
                    for (size_t j = 0; j < m; ++j) {
                        const Sample& s = gpu[p * m + j];
                        const Point3 q = list[p].point(int32_t(j));
                        for (int c = 0; c < 4; ++c) {
                            if (c < 3) worst = std::max(worst, std::abs(s.position[c] - q[c]));
                            ASSERT_NEAR(s.color[c], rgba[4 * j + c], 1e-6f) << what << " " << p;
                            ASSERT_NEAR(s.texCoord[c], tex[4 * j + c], 1e-6f) << what << " " << p;
                        }
                    }
                }
                EXPECT_LE(worst, 1e-4f) << what;
            }
        }
    }
    // Draft frames draw every fifth sample and the last of every stride-th curve.
    const std::vector<Sample> full = capture(1, false, 1), draft = capture(1, true, 3);
    const size_t count = m_renderer->curveBuffers().curveCount();
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
