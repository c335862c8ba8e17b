#include "CurveBuffers.h"

#include "GraphicsMemory.h"
#include "SplineCurve.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr int kComponents[3] = {3, 4, 4};

}  // namespace

CurveBuffers::~CurveBuffers() { release(); }

void CurveBuffers::release() {
    if (m_buffers[0]) glDeleteBuffers(3, m_buffers);
    m_buffers[0] = m_buffers[1] = m_buffers[2] = 0;
    m_first.clear();
    m_count.clear();
    m_totalSamples = 0;
}

void CurveBuffers::create(const std::vector<SplineCurve*>& curves) {
    release();
    m_first.reserve(curves.size());
    m_count.reserve(curves.size());
    for (const SplineCurve* curve : curves) {
        m_first.push_back(static_cast<GLint>(m_totalSamples));
        m_count.push_back(static_cast<GLsizei>(curve->getSampleCount()));
        m_totalSamples += curve->getSampleCount();
    }
    glGenBuffers(3, m_buffers);
    for (int kind = 0; kind < 3; ++kind) {
        glBindBuffer(GL_ARRAY_BUFFER, m_buffers[kind]);
        // A refused allocation leaves the buffer empty, as a driver out of memory does; the
        // mapping that fills it then fails and is reported.
        if (GraphicsMemory::refuseAllocation()) continue;
        glBufferData(GL_ARRAY_BUFFER, m_totalSamples * kComponents[kind] * sizeof(float), nullptr,
                     GL_DYNAMIC_DRAW);
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    updatePositions(curves);
    updateColors(curves);
    updateTexCoords(curves);
}

template <typename Write>
void CurveBuffers::rewrite(Kind kind, size_t firstCurve, size_t curveCount, Write write) {
    // Curves that are not the ones these buffers were made for are left alone.
    if (curveCount == 0 || !m_buffers[kind] || firstCurve + curveCount > m_first.size()) return;
    const size_t stride = kComponents[kind] * sizeof(float);
    const size_t begin = m_first[firstCurve];
    const size_t last = firstCurve + curveCount - 1;
    const size_t end = m_first[last] + m_count[last];
    glBindBuffer(GL_ARRAY_BUFFER, m_buffers[kind]);
    // A failed mapping leaves the buffer as it was.
    void* mapped = glMapBufferRange(GL_ARRAY_BUFFER, begin * stride, (end - begin) * stride,
                                    GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_RANGE_BIT);
    if (mapped) {
        float* out = static_cast<float*>(mapped);
        for (size_t c = firstCurve; c <= last; ++c) {
            write(c, out + (m_first[c] - begin) * kComponents[kind]);
        }
        glUnmapBuffer(GL_ARRAY_BUFFER);
    } else if (end > begin) {
        GraphicsMemory::noteFailedMap();
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void CurveBuffers::updatePositions(const std::vector<SplineCurve*>& curves) {
    rewrite(POSITIONS, 0, curves.size(),
            [&](size_t c, float* out) { curves[c]->writePositions(out); });
}

void CurveBuffers::updateColors(const std::vector<SplineCurve*>& curves) {
    rewrite(COLORS, 0, curves.size(), [&](size_t c, float* out) { curves[c]->writeColors(out); });
}

void CurveBuffers::updateTexCoords(const std::vector<SplineCurve*>& curves) {
    rewrite(TEX_COORDS, 0, curves.size(),
            [&](size_t c, float* out) { curves[c]->writeTexCoords(out); });
}

void CurveBuffers::updateCurveColors(size_t index, const SplineCurve& curve) {
    if (index >= m_first.size()) return;
    rewrite(COLORS, index, 1, [&](size_t, float* out) { curve.writeColors(out); });
}

void CurveBuffers::updateCurveColors(const std::vector<int32_t>& positions,
                                     const std::vector<SplineCurve>& curves) {
    size_t low = SIZE_MAX, high = 0;
    for (int32_t p : positions) {
        if (p < 0 || size_t(p) >= m_first.size() || size_t(p) >= curves.size()) continue;
        low = std::min(low, size_t(p));
        high = std::max(high, size_t(p));
    }
    if (low > high || !m_buffers[COLORS]) return;
    const size_t stride = kComponents[COLORS] * sizeof(float);
    const size_t begin = m_first[low];
    const size_t end = m_first[high] + m_count[high];
    glBindBuffer(GL_ARRAY_BUFFER, m_buffers[COLORS]);
    // Without invalidation: the curves between the listed ones keep their colours.
    void* mapped =
        glMapBufferRange(GL_ARRAY_BUFFER, begin * stride, (end - begin) * stride, GL_MAP_WRITE_BIT);
    if (mapped) {
        float* out = static_cast<float*>(mapped);
        for (int32_t p : positions) {
            if (p < 0 || size_t(p) >= m_first.size() || size_t(p) >= curves.size()) continue;
            curves[p].writeColors(out + (m_first[p] - begin) * kComponents[COLORS]);
        }
        glUnmapBuffer(GL_ARRAY_BUFFER);
    } else if (end > begin) {
        GraphicsMemory::noteFailedMap();
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

std::vector<float> CurveBuffers::readColors(size_t index) const {
    if (index >= m_first.size() || !m_buffers[COLORS]) return {};
    std::vector<float> colors(size_t(m_count[index]) * kComponents[COLORS]);
    const size_t stride = kComponents[COLORS] * sizeof(float);
    glBindBuffer(GL_ARRAY_BUFFER, m_buffers[COLORS]);
    glGetBufferSubData(GL_ARRAY_BUFFER, size_t(m_first[index]) * stride,
                       colors.size() * sizeof(float), colors.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return colors;
}

void CurveBuffers::draw() const {
    if (m_first.empty()) return;
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, m_buffers[POSITIONS]);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, m_buffers[COLORS]);
    glColorPointer(4, GL_FLOAT, 0, nullptr);
    // The active unit becomes 7, the client unit stays 0: the coordinates feed set 0.
    glActiveTexture(GL_TEXTURE7);
    glBindBuffer(GL_ARRAY_BUFFER, m_buffers[TEX_COORDS]);
    glTexCoordPointer(4, GL_FLOAT, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glPushMatrix();
    glMultiDrawArrays(GL_LINE_STRIP, m_first.data(), m_count.data(),
                      static_cast<GLsizei>(m_first.size()));
    glPopMatrix();
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}
