#include "CurveRaster.h"

#include "CurveControls.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <exception>
#include <thread>

namespace {

// Curves evaluated and drawn per run; fewer when the draw has a deadline, so that it stops soon
// after it.
constexpr size_t kCurvesPerRun = 8192;
constexpr size_t kCurvesPerTimedRun = 2048;
// How far outside a band the column window of a flat line reaches, in rows: far more than a
// float's rounding of a row number in any picture.
constexpr double kRowSlack = 1.0 / 64;
// Bands of rows per thread: a band's sums should stay in a processor's cache.
constexpr unsigned kBandsPerThread = 8;
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
    std::vector<std::array<float, 2>> heights;  // lowest and highest y of each curve's samples
    size_t next = std::min(draw.first, total);
    const unsigned threads = m_threads;
    const unsigned bands = bandCount();
    while (next < total) {
        const size_t count = std::min(run, total - next);
        points.resize(count * perCurve);
        alphas.resize(count);
        heights.resize(count);
        inParallel(threads, [&](unsigned part) {
            for (size_t k = count * part / threads; k < count * (part + 1) / threads; ++k) {
                const size_t position = (next + k) * stride;
                const uint8_t slot = draw.curveSlots && position < draw.curveSlots->size()
                                         ? (*draw.curveSlots)[position]
                                         : uint8_t(0);
                CurvePoint* curve = &points[k * perCurve];
                alphas[k] = opacity(draw.sampler->sample(position, slot, draw.look, curve));
                heights[k] = heightOf(curve, perCurve);
            }
        });
        // Each thread draws its bands one after the other: a band's sums stay in the cache
        // while all the run's curves that cross it are drawn.
        inParallel(threads, [&](unsigned part) {
            for (unsigned b = part; b < bands; b += threads) {
                const Band rows = band(b, bands);
                for (size_t k = 0; k < count; ++k) {
                    if (heights[k][1] < float(rows.rowBegin) - 1 ||
                        heights[k][0] > float(rows.rowEnd) + 1) {
                        continue;
                    }
                    stripInBand(&points[k * perCurve], perCurve, alphas[k],
                                int32_t((next + k) * stride), draw.mix, rows);
                }
            }
        });
        next += count;
        if (draw.deadline && std::chrono::steady_clock::now() >= *draw.deadline) break;
    }
    return next;
}

std::array<float, 2> CurveRaster::heightOf(const CurvePoint* points, size_t count) {
    std::array<float, 2> height{std::numeric_limits<float>::max(),
                                std::numeric_limits<float>::lowest()};
    for (size_t s = 0; s < count; ++s) {
        if (!points[s].visible) continue;
        height[0] = std::min(height[0], points[s].y);
        height[1] = std::max(height[1], points[s].y);
    }
    return height;
}

unsigned CurveRaster::bandCount() const { return m_threads * kBandsPerThread; }

CurveRaster::Band CurveRaster::band(unsigned part, unsigned parts) const {
    return {int(int64_t(m_height) * part / parts), int(int64_t(m_height) * (part + 1) / parts)};
}

void CurveRaster::drawStrip(const CurvePoint* points, size_t count, float alpha, int32_t code,
                            const Mix& mix) {
    if (m_sums.empty()) return;
    inParallel(m_threads, [&](unsigned part) {
        stripInBand(points, count, alpha, code, mix, band(part, m_threads));
    });
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
    const float major0 = alongX ? a.x : a.y, major1 = alongX ? b.x : b.y;
    const float delta = alongX ? dx : dy;
    if (delta == 0) return;
    const long limit = alongX ? m_width : m_height;
    // A sample far off the picture lies beyond what a long holds: clamped before the cast.
    const auto pixel = [limit](float at) {
        return long(std::clamp(double(at), -2.0, double(limit) + 2.0));
    };
    // Pixel numbers whose centre c satisfies start <= c < end in the direction of travel (the
    // end as the next segment starts, however far the start).
    long first, last;
    if (delta > 0) {
        first = pixel(std::ceil(major0 - 0.5f));
        last = pixel(std::ceil(major1 - 0.5f)) - 1;
    } else {
        first = pixel(std::floor(major1 - 0.5f)) + 1;
        last = pixel(std::floor(major0 - 0.5f));
    }
    first = std::max(first, 0L);
    last = std::min(last, limit - 1);
    if (alongX) {
        // Only the columns whose row can fall in this band.
        if (dy != 0) {
            // Where the line crosses the band's edges, a little outside them: a pixel's row comes
            // from its y rounded to a float, and along a nearly flat line that rounding moves
            // the crossing by many columns. In double and clamped to the picture, as such a
            // crossing lies beyond what a float or a long holds.
            const double slope = double(dx) / double(dy);
            const auto crossing = [&](double row) {
                return std::clamp(double(a.x) + (row - double(a.y)) * slope, -2.0,
                                  double(m_width) + 2.0);
            };
            const double c0 = crossing(rowBegin - kRowSlack), c1 = crossing(rowEnd + kRowSlack);
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
