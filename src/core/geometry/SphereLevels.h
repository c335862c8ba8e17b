#pragma once

#include "SphereInstances.h"

#include <array>
#include <cstdint>
#include <vector>

// The tessellation each vertex sphere needs at one camera: a sphere of a pixel or two is a dot of
// its width on the picture; larger ones get as many slices as keep their outline within half a
// pixel of the true circle, up to the full sphere. Computed per frame from the matrices the
// spheres are drawn under (column-major, as GL keeps them).
class SphereLevels {
public:
    enum Level { DOT1, DOT2, DOT3, SLICES6, SLICES8, SLICES12, SLICES16, FULL, LEVEL_COUNT };
    // Sphere ids per level, each in ascending id order.
    using Buckets = std::array<std::vector<uint32_t>, LEVEL_COUNT>;

    SphereLevels(const float* modelView, const float* projection, int viewportHeight);

    // Radius in pixels of a sphere of SphereInstances::kRadius centred at (x, y, z); very large
    // for a centre behind the eye or on its plane (clipped anyway, the full sphere is never wrong).
    float pixelRadius(float x, float y, float z) const;
    static Level levelFor(float pixelRadius);
    // The largest pixel radius drawn with the slices of a level from SLICES6 to SLICES16.
    static float largestRadius(Level level);
    // The spheres of instances sorted by level in one walk, leaving out skipId (-1: none);
    // where only is given, just the ids it lists (ascending; those beyond the instances are
    // left out).
    Buckets sort(const SphereInstances& instances, int64_t skipId,
                 const std::vector<uint32_t>* only = nullptr) const;
    // The object-space direction towards the eye: the normal of a dot, which shows the sphere's
    // middle.
    std::array<float, 3> eyeNormal() const;
    // The spheres' radius in eye units, and in pixels where clip w is 1 (divide by w elsewhere).
    float eyeRadius() const { return m_eyeRadius; }
    float pixelsPerClip() const { return m_pixelsPerClip; }

private:
    float m_modelView[16];
    float m_projection[16];
    float m_eyeRadius = 0;
    float m_pixelsPerClip = 0;
};
