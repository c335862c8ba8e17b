#include "SphereLevels.h"

#include <algorithm>
#include <cmath>

SphereLevels::SphereLevels(const float* modelView, const float* projection, int viewportHeight) {
    std::copy(modelView, modelView + 16, m_modelView);
    std::copy(projection, projection + 16, m_projection);
    // The sphere's radius in eye units: the model-view scales uniformly.
    const float* c = m_modelView;
    const float scale = std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]);
    m_eyeRadius = SphereInstances::kRadius * scale;
    m_pixelsPerClip = m_eyeRadius * m_projection[5] * float(viewportHeight) / 2.0f;
}

float SphereLevels::pixelRadius(float x, float y, float z) const {
    const float* m = m_modelView;
    const float eye[3] = {m[0] * x + m[4] * y + m[8] * z + m[12],
                          m[1] * x + m[5] * y + m[9] * z + m[13],
                          m[2] * x + m[6] * y + m[10] * z + m[14]};
    const float* p = m_projection;
    const float w = p[3] * eye[0] + p[7] * eye[1] + p[11] * eye[2] + p[15];
    return w > 1e-6f ? m_pixelsPerClip / w : 1e9f;
}

SphereLevels::Level SphereLevels::levelFor(float radius) {
    // Under three pixels wide: a dot of the nearest width.
    if (radius < 1.5f) return Level(DOT1 + std::clamp(int(std::lround(2.0f * radius)), 1, 3) - 1);
    for (int level = SLICES6; level <= SLICES16; ++level) {
        if (radius <= largestRadius(Level(level))) return Level(level);
    }
    return FULL;
}

float SphereLevels::largestRadius(Level level) {
    // An outline of n slices falls short of the circle by r (1 - cos(pi / n)) at most.
    const float largest[4] = {3.7f, 6.6f, 14.7f, 26.0f};
    return largest[std::clamp(int(level) - SLICES6, 0, 3)];
}

SphereLevels::Buckets SphereLevels::sort(const SphereInstances& instances, int64_t skipId,
                                         const std::vector<uint32_t>* only) const {
    Buckets buckets;
    const float* c = instances.centres.data();
    const auto place = [&](uint32_t k) {
        if (k == skipId || k >= instances.count()) return;
        buckets[levelFor(pixelRadius(c[3 * k], c[3 * k + 1], c[3 * k + 2]))].push_back(k);
    };
    if (only) {
        for (uint32_t k : *only) place(k);
    } else {
        for (uint32_t k = 0; k < instances.count(); ++k) place(k);
    }
    return buckets;
}

std::array<float, 3> SphereLevels::eyeNormal() const {
    const float* m = m_modelView;
    const float length = std::sqrt(m[2] * m[2] + m[6] * m[6] + m[10] * m[10]);
    std::array<float, 3> n;
    for (int i = 0; i < 3; ++i) n[i] = length > 0 ? m[2 + 4 * i] / length : float(i == 2);
    return n;
}
