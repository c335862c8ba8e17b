#pragma once

#include <GL/glew.h>

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

class CurveControls;

// The relation curves of all five views on the GPU. Buffer textures hold the tree paths (shared
// by the views), each view's vertex positions, drawing order and highlight slots, and the basis
// tables; the vertex stage of every curve-drawing program evaluates the samples from them for
// the bundling strength of the frame. A beta or colour change therefore rewrites nothing, and a
// curve costs its path and a few bytes per view instead of fifty samples per view.
//
// Every curve is one instance of a line strip whose vertices are sample numbers, drawn in list
// order (longest first).
class CurveBuffers {
public:
    // The colour pair a curve takes.
    enum Slot : uint8_t { NORMAL = 0, SELECTED = 1, OUTGOING = 2, INCOMING = 3, SLOT_COUNT = 4 };
    // Start and end colour per slot. NORMAL and SELECTED curves fade their alpha by their number
    // of control points, which keeps bundles of long curves from saturating; the edges of a
    // picked vertex keep their colour's own opacity so that they stand out from the bundle.
    struct Colors {
        std::array<std::array<float, 4>, SLOT_COUNT> start{}, end{};
    };
    // What a draw evaluates.
    struct Frame {
        int viewType = 0;
        float beta = 0;
        Colors colors;
        // Fewer samples per curve, for the frames drawn while the user drags.
        bool draft = false;
        // Every stride-th curve of the list only (1: all), for the same frames on large graphs.
        int stride = 1;
        // GL_LINE_STRIP to draw; GL_POINTS gives every sample once (for transform feedback).
        GLenum mode = GL_LINE_STRIP;
        // The drawn curves from number first on (counting every stride-th curve once).
        size_t first = 0;
        // When set, the draw stops after the first run of curves that ends past it.
        std::optional<std::chrono::steady_clock::time_point> deadline;
    };
    // Compiled in front of the vertex shader of every program that draws curves.
    static constexpr const char* kVertexPrelude = "shader/curve_vertex.glsl";
    // Samples of a draft curve: every fifth, and the last.
    static constexpr int kDraftStep = 5;
    // The stride that leaves at most this many curves in a draft frame.
    static constexpr size_t kDraftCurves = 4096;
    // Above this many curves, full frames draw them as plain lines and, given a budget, in parts.
    static constexpr size_t kManyCurves = 16384;
    int draftStride() const { return int((m_curveCount + kDraftCurves - 1) / kDraftCurves); }

    CurveBuffers() = default;
    CurveBuffers(const CurveBuffers&) = delete;
    CurveBuffers& operator=(const CurveBuffers&) = delete;
    ~CurveBuffers();

    // Uploads the controls; every slot NORMAL. False, with nothing held, when GL refused the
    // memory or a buffer texture would exceed what GL can address.
    bool create(const CurveControls& controls);
    void release();
    // Trades every GL object and count with other.
    void swap(CurveBuffers& other);

    // The slot of the curves at these list positions of a view (positions out of range are
    // passed over).
    void setSlots(int viewType, const std::vector<int32_t>& positions, Slot slot);
    // Reads back one curve's slot from the GL; NORMAL for a position these buffers do not have.
    Slot slot(int viewType, size_t position) const;

    // Points the curve samplers of a program built with the prelude at their texture units;
    // needed once after every link.
    static void assignSamplerUnits(GLuint program);
    // Draws the curves of a view with the program that is current, which must have been built
    // with the curve prelude; without a current program nothing is drawn. Returns the number of
    // the first curve not drawn (the count of drawn curves when all were).
    size_t draw(const Frame& frame) const;
    // How many curves a draw of this stride draws in all.
    size_t drawnCount(int stride) const;

    size_t curveCount() const { return m_curveCount; }
    int32_t sampleCount() const { return m_sampleCount; }

private:
    enum Texture { BASIS, PATHS, PATH_STARTS, POSITIONS, ORDER, SLOTS, TEXTURE_COUNT };
    // Curves handed to GL in one draw; fewer when the draw has a deadline.
    static constexpr size_t kCurvesPerDraw = 8192;
    static constexpr size_t kCurvesPerTimedDraw = 2048;
    // Texture units the curve samplers use; above those of the passes' own textures.
    static constexpr int kFirstUnit = 10;

    bool makeTexture(GLuint& buffer, GLuint& texture, GLenum format, const void* data,
                     size_t bytes);
    void bindTextures(int viewType) const;
    void setUniforms(GLuint program, const Frame& frame) const;

    size_t m_curveCount = 0;
    int32_t m_sampleCount = 0;
    GLuint m_sampleBuffers[2] = {0, 0};  // full and draft sample numbers
    GLsizei m_sampleCounts[2] = {0, 0};
    // Shared: basis, paths, path starts. Per view: positions, order, slots.
    GLuint m_buffers[3 + 3 * 5] = {};
    GLuint m_textures[3 + 3 * 5] = {};
};
