#include "CurveRaster.h"

#include "CurveControls.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <thread>

namespace {

// Curves evaluated and drawn per run; fewer when the draw has a deadline, so that it stops soon
// after it.
constexpr size_t kCurvesPerRun = 8192;
constexpr size_t kCurvesPerTimedRun = 2048;
// The scene's depth comes from a 24-bit buffer: a curve at the very depth of a surface still
// shows, as it does under GL's less-or-equal test.
constexpr float kDepthSlack = 1.0f / (1 << 22);

// A curve's colour buffer carries its alpha divided by its control-point count; its opacity is
// that of three such layers, so that a few curves running together stand out from one.
float opacity(float alpha) {
    const float rest = 1.0f - std::clamp(alpha, 0.0f, 1.0f);
    return 1.0f - rest * rest * rest;
}

}  // namespace

struct CurveRaster::Segment {
    const CurvePoint* from;
    const CurvePoint* to;
    float alpha;
    int32_t code;
    const Mix* mix;
};

CurveRaster::CurveRaster(unsigned threads)
    : m_threads(threads > 0 ? threads : std::max(1u, std::thread::hardware_concurrency())) {}

void CurveRaster::begin(int width, int height, std::vector<float> depth) {
    m_width = std::max(width, 1);
    m_height = std::max(height, 1);
    const size_t pixels = size_t(m_width) * size_t(m_height);
    // Without the scene's depth every fragment passes.
    const bool tested = depth.size() == pixels;
    m_sums.assign(pixels, Sums{{0, 0, 0, 0}, {0, 0, 0, 0}, 1.0f, -1, 2.0f});
    if (tested) {
        for (size_t p = 0; p < pixels; ++p) m_sums[p].depth = depth[p] + kDepthSlack;
    }
}

size_t CurveRaster::drawnCount(size_t stride) const {
    stride = std::max<size_t>(stride, 1);
    return (m_curveCount + stride - 1) / stride;
}

template <typename Work>
void CurveRaster::inParallel(unsigned count, Work work) {
    std::vector<std::exception_ptr> failures(count);
    auto guarded = [&](unsigned part) {
        try {
            work(part);
        } catch (...) {
            failures[part] = std::current_exception();
        }
    };
    std::vector<std::thread> helpers;
    try {
        for (unsigned part = 1; part < count; ++part) helpers.emplace_back(guarded, part);
    } catch (...) {
        // No thread to be had: the parts left run here.
        for (unsigned part = unsigned(helpers.size()) + 1; part < count; ++part) guarded(part);
    }
    guarded(0);
    for (std::thread& helper : helpers) helper.join();
    for (const std::exception_ptr& failure : failures) {
        if (failure) std::rethrow_exception(failure);
    }
}

size_t CurveRaster::draw(const Draw& draw) {
    if (!draw.sampler || m_sums.empty()) return draw.first;
    m_curveCount = draw.sampler->controls().curveCount();
    const size_t stride = std::max<size_t>(draw.stride, 1);
    const size_t total = drawnCount(stride);
    const size_t perCurve = draw.sampler->pointsPerCurve();
    const size_t run = draw.deadline ? kCurvesPerTimedRun : kCurvesPerRun;
    std::vector<CurvePoint> points;
    std::vector<float> alphas;
    size_t next = std::min(draw.first, total);
    while (next < total) {
        const size_t count = std::min(run, total - next);
        points.resize(count * perCurve);
        alphas.resize(count);
        const unsigned threads = m_threads;
        inParallel(threads, [&](unsigned part) {
            for (size_t k = count * part / threads; k < count * (part + 1) / threads; ++k) {
                const size_t position = (next + k) * stride;
                const uint8_t slot = draw.curveSlots && position < draw.curveSlots->size()
                                         ? (*draw.curveSlots)[position]
                                         : uint8_t(0);
                alphas[k] =
                    opacity(draw.sampler->sample(position, slot, draw.look, &points[k * perCurve]));
            }
        });
        inParallel(threads, [&](unsigned part) {
            const Band rows = band(part);
            for (size_t k = 0; k < count; ++k) {
                stripInBand(&points[k * perCurve], perCurve, alphas[k],
                            int32_t((next + k) * stride), draw.mix, rows);
            }
        });
        next += count;
        if (draw.deadline && std::chrono::steady_clock::now() >= *draw.deadline) break;
    }
    return next;
}

CurveRaster::Band CurveRaster::band(unsigned part) const {
    return {int(int64_t(m_height) * part / m_threads),
            int(int64_t(m_height) * (part + 1) / m_threads)};
}

void CurveRaster::drawStrip(const CurvePoint* points, size_t count, float alpha, int32_t code,
                            const Mix& mix) {
    if (m_sums.empty()) return;
    inParallel(m_threads,
               [&](unsigned part) { stripInBand(points, count, alpha, code, mix, band(part)); });
}

void CurveRaster::stripInBand(const CurvePoint* points, size_t count, float alpha, int32_t code,
                              const Mix& mix, const Band& band) {
    for (size_t s = 0; s + 1 < count; ++s) {
        if (!points[s].visible || !points[s + 1].visible) continue;
        drawSegment({&points[s], &points[s + 1], alpha, code, &mix}, band);
    }
}

// One-pixel line without smoothing: along the major axis every pixel whose centre lies from the
// start on up to (not including) the end, so that the strip's joints are drawn once.
void CurveRaster::drawSegment(const Segment& s, const Band& band) {
    const int rowBegin = band.rowBegin, rowEnd = band.rowEnd;
    const CurvePoint& a = *s.from;
    const CurvePoint& b = *s.to;
    const float dx = b.x - a.x, dy = b.y - a.y;
    const bool alongX = std::fabs(dx) >= std::fabs(dy);
    const float major0 = alongX ? a.x : a.y, delta = alongX ? dx : dy;
    if (delta == 0) return;
    // Pixel numbers whose centre c satisfies start <= c < end in the direction of travel.
    long first, last;
    if (delta > 0) {
        first = long(std::ceil(major0 - 0.5f));
        last = long(std::ceil(major0 + delta - 0.5f)) - 1;
    } else {
        first = long(std::floor(major0 + delta - 0.5f)) + 1;
        last = long(std::floor(major0 - 0.5f));
    }
    const long limit = alongX ? m_width : m_height;
    first = std::max(first, 0L);
    last = std::min(last, limit - 1);
    if (alongX) {
        // Only the columns whose row can fall in this band.
        if (dy != 0) {
            const float c0 = a.x + (float(rowBegin) - a.y) * dx / dy;
            const float c1 = a.x + (float(rowEnd) - a.y) * dx / dy;
            first = std::max(first, long(std::floor(std::min(c0, c1))) - 1);
            last = std::min(last, long(std::ceil(std::max(c0, c1))) + 1);
        } else if (a.y < float(rowBegin) || a.y >= float(rowEnd)) {
            return;
        }
    } else {
        first = std::max(first, long(rowBegin));
        last = std::min(last, long(rowEnd) - 1);
    }
    for (long i = first; i <= last; ++i) {
        const float t = (float(i) + 0.5f - major0) / delta;
        const float minor = alongX ? a.y + t * dy : a.x + t * dx;
        const long other = long(std::floor(minor));
        const long row = alongX ? other : i, column = alongX ? i : other;
        if (row < rowBegin || row >= rowEnd || column < 0 || column >= m_width) continue;
        const float rgb[3] = {a.r + t * (b.r - a.r), a.g + t * (b.g - a.g), a.b + t * (b.b - a.b)};
        shade(size_t(row) * size_t(m_width) + size_t(column), a.z + t * (b.z - a.z), rgb, s.alpha,
              s.code, *s.mix);
    }
}

inline void CurveRaster::shade(size_t pixel, float z, const float* rgb, float alpha, int32_t code,
                               const Mix& mix) {
    if (z < 0 || z > 1) return;
    Sums& sums = m_sums[pixel];
    if (z > sums.depth) return;
    for (int c = 0; c < 3; ++c) sums.trace[c] = std::max(sums.trace[c], rgb[c] * mix.traceShare);
    sums.trace[3] = std::max(sums.trace[3], alpha);
    if (mix.blend) {
        const float keep = 1.0f - alpha;
        for (int c = 0; c < 3; ++c) {
            const float colour = rgb[c] + mix.tint * (1.0f - rgb[c]);
            sums.blended[c] = sums.blended[c] * keep + colour * alpha;
        }
        sums.blended[3] = sums.blended[3] * keep + alpha * alpha;
        sums.transmitted *= keep;
    }
    sums.code = code;
}

void CurveRaster::compose(float* scene) const {
    for (size_t p = 0; p < m_sums.size(); ++p) {
        const Sums& sums = m_sums[p];
        if (sums.code < 0) continue;
        float* out = scene + 4 * p;
        for (int c = 0; c < 4; ++c) {
            out[c] = std::max(out[c], sums.trace[c]) * sums.transmitted + sums.blended[c];
        }
    }
}

int64_t CurveRaster::curveAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height || m_sums.empty()) return -1;
    return m_sums[size_t(y) * size_t(m_width) + size_t(x)].code;
}
