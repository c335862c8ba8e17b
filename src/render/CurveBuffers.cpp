#include "CurveBuffers.h"

#include "CurveControls.h"
#include "GraphicsMemory.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <cstdint>
#include <limits>
#include <memory>
#include <utility>

namespace {

// Index of a view's own buffer of a kind (0 positions, 1 order, 2 slots).
constexpr int viewIndex(int viewType, int kind) { return 3 + 3 * viewType + kind; }

// Per path its first vertex, the first texel of its basis table and its alpha scale in steps;
// one more start ends the last path.
std::vector<int32_t> pathStarts(const CurveControls& controls) {
    const TreePaths& paths = controls.paths();
    std::vector<int32_t> starts(4 * paths.start.size(), 0);
    for (size_t e = 0; e < paths.start.size(); ++e) {
        starts[4 * e] = int32_t(paths.start[e]);
        if (e >= paths.size()) continue;
        starts[4 * e + 1] = controls.basis().firstTexel(paths.length(e));
        starts[4 * e + 2] =
            int32_t(std::lround(controls.alphaScale(e) * CurveControls::kAlphaScaleSteps));
    }
    return starts;
}

template <typename T>
bool fitsInt(T value) {
    return value <= T(std::numeric_limits<int32_t>::max());
}

}  // namespace

CurveBuffers::~CurveBuffers() { release(); }

void CurveBuffers::release() {
    glDeleteTextures(GLsizei(std::size(m_textures)), m_textures);
    glDeleteBuffers(GLsizei(std::size(m_buffers)), m_buffers);
    glDeleteBuffers(2, m_sampleBuffers);
    std::fill(std::begin(m_textures), std::end(m_textures), 0);
    std::fill(std::begin(m_buffers), std::end(m_buffers), 0);
    m_sampleBuffers[0] = m_sampleBuffers[1] = 0;
    m_curveCount = 0;
}

void CurveBuffers::swap(CurveBuffers& other) {
    std::swap(m_curveCount, other.m_curveCount);
    std::swap(m_sampleCount, other.m_sampleCount);
    std::swap(m_sampleBuffers, other.m_sampleBuffers);
    std::swap(m_sampleCounts, other.m_sampleCounts);
    std::swap(m_buffers, other.m_buffers);
    std::swap(m_textures, other.m_textures);
}

bool CurveBuffers::makeTexture(GLuint& buffer, GLuint& texture, GLenum format, const void* data,
                               size_t bytes) {
    // A refused allocation is what a driver out of memory gives.
    if (GraphicsMemory::refuseAllocation()) {
        GraphicsMemory::noteFailure();
        return false;
    }
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_TEXTURE_BUFFER, buffer);
    // An empty buffer texture is not complete; one spare element keeps every fetch defined.
    glBufferData(GL_TEXTURE_BUFFER, std::max<size_t>(bytes, 16), nullptr, GL_STATIC_DRAW);
    if (bytes > 0) glBufferSubData(GL_TEXTURE_BUFFER, 0, bytes, data);
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_BUFFER, texture);
    glTexBuffer(GL_TEXTURE_BUFFER, format, buffer);
    glBindTexture(GL_TEXTURE_BUFFER, 0);
    glBindBuffer(GL_TEXTURE_BUFFER, 0);
    if (glGetError() != GL_OUT_OF_MEMORY) return true;
    GraphicsMemory::noteFailure();
    return false;
}

bool CurveBuffers::create(const CurveControls& controls) {
    release();
    const TreePaths& paths = controls.paths();
    GLint maxTexels = 0;
    glGetIntegerv(GL_MAX_TEXTURE_BUFFER_SIZE, &maxTexels);
    const size_t largest =
        std::max({paths.vertices.size(), paths.start.size(), controls.positions(0).size() / 3,
                  controls.basis().texels().size() / 4});
    if (largest >= size_t(maxTexels) || !fitsInt(paths.vertices.size())) {
        // More than GL can address: the picture would miss the curves.
        GraphicsMemory::noteFailure();
        return false;
    }

    m_sampleCount = controls.sampleCount();
    // Sample numbers as the vertices of every strip: all of them, or every fifth and the last.
    std::vector<float> full, draft;
    for (int32_t j = 0; j < m_sampleCount; ++j) {
        full.insert(full.end(), {float(j), 0.0f});
        if (j % kDraftStep == 0 || j == m_sampleCount - 1)
            draft.insert(draft.end(), {float(j), 0.0f});
    }
    const std::vector<float>* samples[2] = {&full, &draft};
    glGenBuffers(2, m_sampleBuffers);
    for (int k = 0; k < 2; ++k) {
        glBindBuffer(GL_ARRAY_BUFFER, m_sampleBuffers[k]);
        glBufferData(GL_ARRAY_BUFFER, samples[k]->size() * sizeof(float), samples[k]->data(),
                     GL_STATIC_DRAW);
        m_sampleCounts[k] = GLsizei(samples[k]->size() / 2);
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    bool ok = true;
    const std::vector<float>& basis = controls.basis().texels();
    ok &= makeTexture(m_buffers[BASIS], m_textures[BASIS], GL_RGBA32F, basis.data(),
                      basis.size() * sizeof(float));
    ok &= makeTexture(m_buffers[PATHS], m_textures[PATHS], GL_R32I, paths.vertices.data(),
                      paths.vertices.size() * sizeof(uint32_t));
    const std::vector<int32_t> starts = pathStarts(controls);
    ok &= makeTexture(m_buffers[PATH_STARTS], m_textures[PATH_STARTS], GL_RGBA32I, starts.data(),
                      starts.size() * sizeof(int32_t));
    const std::vector<uint8_t> slots(controls.curveCount(), NORMAL);
    for (int v = 0; v < 5 && ok; ++v) {
        const std::vector<float>& positions = controls.positions(v);
        const std::vector<uint32_t>& order = controls.order(v);
        ok &= makeTexture(m_buffers[viewIndex(v, 0)], m_textures[viewIndex(v, 0)], GL_RGB32F,
                          positions.data(), positions.size() * sizeof(float));
        ok &= makeTexture(m_buffers[viewIndex(v, 1)], m_textures[viewIndex(v, 1)], GL_R32I,
                          order.data(), order.size() * sizeof(uint32_t));
        ok &= makeTexture(m_buffers[viewIndex(v, 2)], m_textures[viewIndex(v, 2)], GL_R8UI,
                          slots.data(), slots.size());
    }
    if (!ok) {
        release();
        return false;
    }
    m_curveCount = controls.curveCount();
    return true;
}

void CurveBuffers::setSlots(int viewType, const std::vector<int32_t>& positions, Slot slot) {
    if (viewType < 0 || viewType > 4 || !m_buffers[viewIndex(viewType, 2)]) return;
    size_t low = SIZE_MAX, high = 0;
    for (int32_t p : positions) {
        if (p < 0 || size_t(p) >= m_curveCount) continue;
        low = std::min(low, size_t(p));
        high = std::max(high, size_t(p));
    }
    if (low > high) return;
    glBindBuffer(GL_TEXTURE_BUFFER, m_buffers[viewIndex(viewType, 2)]);
    // One mapping for all (a vertex may have a great many edges), without invalidation: the
    // curves between the listed ones keep their slots.
    auto* mapped = static_cast<uint8_t*>(
        glMapBufferRange(GL_TEXTURE_BUFFER, low, high - low + 1, GL_MAP_WRITE_BIT));
    if (mapped) {
        for (int32_t p : positions) {
            if (p >= 0 && size_t(p) < m_curveCount) mapped[p - low] = slot;
        }
        glUnmapBuffer(GL_TEXTURE_BUFFER);
    } else {
        GraphicsMemory::noteFailure();
    }
    glBindBuffer(GL_TEXTURE_BUFFER, 0);
}

CurveBuffers::Slot CurveBuffers::slot(int viewType, size_t position) const {
    if (viewType < 0 || viewType > 4 || position >= m_curveCount) return NORMAL;
    uint8_t value = NORMAL;
    glBindBuffer(GL_TEXTURE_BUFFER, m_buffers[viewIndex(viewType, 2)]);
    glGetBufferSubData(GL_TEXTURE_BUFFER, position, 1, &value);
    glBindBuffer(GL_TEXTURE_BUFFER, 0);
    return Slot(value);
}

std::vector<uint8_t> CurveBuffers::slotsOfView(int viewType) const {
    if (viewType < 0 || viewType > 4 || !m_buffers[viewIndex(viewType, 2)]) return {};
    std::vector<uint8_t> values(m_curveCount, NORMAL);
    glBindBuffer(GL_TEXTURE_BUFFER, m_buffers[viewIndex(viewType, 2)]);
    glGetBufferSubData(GL_TEXTURE_BUFFER, 0, GLsizeiptr(values.size()), values.data());
    glBindBuffer(GL_TEXTURE_BUFFER, 0);
    return values;
}

void CurveBuffers::bindTextures(int viewType) const {
    const GLuint textures[TEXTURE_COUNT] = {m_textures[BASIS],
                                            m_textures[PATHS],
                                            m_textures[PATH_STARTS],
                                            m_textures[viewIndex(viewType, 0)],
                                            m_textures[viewIndex(viewType, 1)],
                                            m_textures[viewIndex(viewType, 2)]};
    for (int t = 0; t < TEXTURE_COUNT; ++t) {
        glActiveTexture(GL_TEXTURE0 + kFirstUnit + t);
        glBindTexture(GL_TEXTURE_BUFFER, textures[t]);
    }
    glActiveTexture(GL_TEXTURE0);
}

namespace {

const char* const kSamplers[] = {"curve_basis",     "curve_paths", "curve_path_starts",
                                 "curve_positions", "curve_order", "curve_slots"};

}  // namespace

void CurveBuffers::assignSamplerUnits(GLuint program) {
    // Samplers start on unit 0; a buffer sampler sharing a unit with a 2D one would make every
    // draw of the program fail, curves or not.
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    glUseProgram(program);
    for (int t = 0; t < TEXTURE_COUNT; ++t) {
        glUniform1i(glGetUniformLocation(program, kSamplers[t]), kFirstUnit + t);
    }
    glUseProgram(GLuint(current));
}

void CurveBuffers::setUniforms(GLuint program, const Frame& frame) const {
    glUniform1i(glGetUniformLocation(program, "curve_mode"), 1);
    glUniform1f(glGetUniformLocation(program, "curve_beta"), frame.beta);
    glUniform1i(glGetUniformLocation(program, "curve_view"), frame.viewType);
    glUniform1i(glGetUniformLocation(program, "curve_samples"), m_sampleCount);
    glUniform1i(glGetUniformLocation(program, "curve_count"), GLint(m_curveCount));
    glUniform1i(glGetUniformLocation(program, "curve_stride"), std::max(frame.stride, 1));
    glUniform4fv(glGetUniformLocation(program, "curve_start"), SLOT_COUNT,
                 frame.colors.start[0].data());
    glUniform4fv(glGetUniformLocation(program, "curve_end"), SLOT_COUNT,
                 frame.colors.end[0].data());
}

size_t CurveBuffers::drawnCount(int stride) const {
    const size_t step = size_t(std::max(stride, 1));
    return (m_curveCount + step - 1) / step;
}

size_t CurveBuffers::draw(const Frame& frame) const {
    const size_t drawn = drawnCount(frame.stride);
    if (m_curveCount == 0 || frame.viewType < 0 || frame.viewType > 4) return drawn;
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    if (program == 0) return drawn;
    setUniforms(GLuint(program), frame);
    bindTextures(frame.viewType);
    const int k = frame.draft ? 1 : 0;
    glEnableClientState(GL_VERTEX_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, m_sampleBuffers[k]);
    glVertexPointer(2, GL_FLOAT, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    // In runs of curves, each rasterised before the next: a software rasteriser keeps every
    // primitive of a draw in memory until it is rasterised, which for a million curves is
    // gigabytes.
    const GLint first = glGetUniformLocation(GLuint(program), "curve_first");
    const size_t stride = size_t(std::max(frame.stride, 1));
    const size_t run = frame.deadline ? kCurvesPerTimedDraw : kCurvesPerDraw;
    size_t next = std::min(frame.first, drawn);
    while (next < drawn) {
        glUniform1i(first, GLint(next * stride));
        const size_t count = std::min(run, drawn - next);
        glDrawArraysInstancedARB(frame.mode, 0, m_sampleCounts[k], GLsizei(count));
        next += count;
        if (next < drawn) glFinish();
        if (frame.deadline && std::chrono::steady_clock::now() >= *frame.deadline) break;
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glUniform1i(glGetUniformLocation(GLuint(program), "curve_mode"), 0);
    for (int t = 0; t < TEXTURE_COUNT; ++t) {
        glActiveTexture(GL_TEXTURE0 + kFirstUnit + t);
        glBindTexture(GL_TEXTURE_BUFFER, 0);
    }
    glActiveTexture(GL_TEXTURE0);
    return next;
}
