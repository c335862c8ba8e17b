#include "CurveSampler.h"

#include "ControlPolygon.h"
#include "CurveControls.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPi = 3.14159265358979f;

float dot3(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

void transform(const float* m, const float* v, float* out) {
    for (int r = 0; r < 4; ++r) {
        out[r] = m[r] * v[0] + m[4 + r] * v[1] + m[8 + r] * v[2] + m[12 + r] * v[3];
    }
}

float smoothstep(float edge0, float edge1, float x) {
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// The share of the light that reaches an eye-space point, as the scene pass's fragment stage
// works it out for lines: attenuation capped at 1, and the cone of the conic and spot lights.
float reach(const CurveLook& look, const float* eye) {
    const float toLight[3] = {look.lightPosition[0] - eye[0], look.lightPosition[1] - eye[1],
                              look.lightPosition[2] - eye[2]};
    const float d = std::sqrt(dot3(toLight, toLight));
    const float k = look.attenuation[0] + look.attenuation[1] * d + look.attenuation[2] * d * d;
    const float attenuation = k > 0 ? std::min(1.0f, 1.0f / k) : 1.0f;
    if (look.lightType != 1 && look.lightType != 2) return attenuation;
    const float spotLength = std::sqrt(dot3(look.spotDirection, look.spotDirection));
    float cosAngle = 1;
    if (d > 0 && spotLength > 0) cosAngle = -dot3(toLight, look.spotDirection) / (d * spotLength);
    float cone;
    if (look.lightType == 1) {
        cone = smoothstep(std::cos(65.0f * kPi / 180), std::cos(20.0f * kPi / 180), cosAngle);
    } else {
        const float spread = std::clamp(look.spotCutoff, 0.0f, 1.0f);
        cone = cosAngle >= std::cos((20.0f + 30.0f * spread) * kPi / 180) ? 1.0f : 0.0f;
    }
    return attenuation * cone;
}

}  // namespace

CurveSampler::CurveSampler(const CurveControls& controls, std::vector<int32_t> samples)
    : m_controls(controls), m_samples(std::move(samples)) {
    // Tables only for the control counts that occur: the longest path may be far longer than
    // the rest.
    const TreePaths& paths = controls.paths();
    m_windows.resize(size_t(std::max(controls.longestPath(), 1)));
    for (size_t e = 0; e < paths.size(); ++e) {
        const int32_t n = paths.length(e);
        if (n < 1 || m_windows[size_t(n - 1)]) continue;
        const BasisTable table(n, controls.sampleCount());
        auto windows = std::make_unique<Windows>();
        for (int32_t j : m_samples) {
            std::array<float, 5> w{float(table.windowStart(j)), 0, 0, 0, 0};
            for (int32_t r = 0; r < std::min(table.windowWidth(), 4); ++r) {
                w[size_t(1 + r)] = float(table.windowWeights(j)[r]);
            }
            windows->push_back(w);
        }
        m_windows[size_t(n - 1)] = std::move(windows);
    }
}

const CurveSampler::Windows& CurveSampler::windows(int32_t controlCount) const {
    return *m_windows[size_t(controlCount - 1)];
}

float CurveSampler::sample(size_t position, uint8_t slot, const CurveLook& look,
                           CurvePoint* out) const {
    const TreePaths& paths = m_controls.paths();
    const size_t path = m_controls.order(look.viewType)[position];
    const uint32_t* ids = paths.path(path);
    const int32_t n = paths.length(path);
    const std::vector<float>& positions = m_controls.positions(look.viewType);
    // Interior control points leave the tree, each layout its own way.
    auto control = [&](int32_t k, float* p) {
        const float* v = &positions[size_t(ids[k]) * 3];
        p[0] = v[0];
        p[1] = v[1];
        p[2] = v[2];
        p[1] = controlpolygon::controlY(p[1], k, n, look.viewType);
    };
    float head[3], tail[3];
    control(0, head);
    control(n - 1, tail);
    // The working points once per curve: every sample reads up to four of them.
    thread_local std::vector<float> work;
    work.resize(size_t(n) * 3);
    for (int32_t i = 0; i < n; ++i) {
        float* w = &work[size_t(i) * 3];
        control(i, w);
        if (n < 2) continue;
        const float along = float(i) / float(n - 1);
        for (int c = 0; c < 3; ++c) {
            w[c] = look.beta * w[c] + (1.0f - look.beta) * (head[c] + along * (tail[c] - head[c]));
        }
    }
    const auto& start = look.start[slot & 3];
    const auto& end = look.end[slot & 3];
    const int32_t sampleCount = m_controls.sampleCount();
    const Windows& table = windows(n);
    for (size_t s = 0; s < m_samples.size(); ++s) {
        const std::array<float, 5>& w = table[s];
        float point[3] = {0, 0, 0};
        for (int32_t r = 0; r < 4; ++r) {
            const int32_t i = int32_t(w[0]) + r;
            if (i >= n) break;
            for (int c = 0; c < 3; ++c) point[c] += w[size_t(1 + r)] * work[size_t(i) * 3 + c];
        }
        // The y axis points down in the picture.
        const float object[4] = {point[0], 1.0f - point[1], point[2], 1.0f};
        float eye[4], clip[4];
        transform(look.modelView, object, eye);
        transform(look.projection, eye, clip);
        CurvePoint& p = out[s];
        p.visible = clip[3] > 1e-6f;
        const float inverseW = p.visible ? 1.0f / clip[3] : 0.0f;
        p.x = (clip[0] * inverseW * 0.5f + 0.5f) * float(look.width);
        p.y = (clip[1] * inverseW * 0.5f + 0.5f) * float(look.height);
        p.z = clip[2] * inverseW * 0.5f + 0.5f;
        const float along = float(m_samples[s]) / float(sampleCount);
        // Lines never go dark away from the light: three quarters of their colour stay.
        const float light = look.lightType == 4 ? 1.0f : 0.75f + 0.25f * reach(look, eye);
        p.r = ((1 - along) * start[0] + along * end[0]) * light;
        p.g = ((1 - along) * start[1] + along * end[1]) * light;
        p.b = ((1 - along) * start[2] + along * end[2]) * light;
    }
    return slot >= 2 ? start[3] : start[3] * m_controls.alphaScale(path) / float(n);
}
