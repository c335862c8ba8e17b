#include "LabelPlacement.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace {

constexpr float kBucket = 64.0f;

void bounds(const std::array<float, 8>& corners, float& x0, float& y0, float& x1, float& y1) {
    x0 = x1 = corners[0];
    y0 = y1 = corners[1];
    for (int k = 2; k < 8; k += 2) {
        x0 = std::min(x0, corners[k]);
        x1 = std::max(x1, corners[k]);
        y0 = std::min(y0, corners[k + 1]);
        y1 = std::max(y1, corners[k + 1]);
    }
}

// Whether the projections of a and b on the axis normal to edge (k, k+1) of shape are apart.
bool separatedBy(const std::array<float, 8>& shape, int k, const std::array<float, 8>& a,
                 const std::array<float, 8>& b) {
    const int next = (k + 2) % 8;
    const float nx = -(shape[next + 1] - shape[k + 1]), ny = shape[next] - shape[k];
    float aMin = INFINITY, aMax = -INFINITY, bMin = INFINITY, bMax = -INFINITY;
    for (int i = 0; i < 8; i += 2) {
        const float pa = a[i] * nx + a[i + 1] * ny, pb = b[i] * nx + b[i + 1] * ny;
        aMin = std::min(aMin, pa), aMax = std::max(aMax, pa);
        bMin = std::min(bMin, pb), bMax = std::max(bMax, pb);
    }
    return aMax <= bMin || bMax <= aMin;
}

}  // namespace

LabelPlacement::LabelPlacement(float pictureWidth, float pictureHeight)
    : m_width(pictureWidth), m_height(pictureHeight) {}

bool LabelPlacement::overlap(const std::array<float, 8>& a, const std::array<float, 8>& b) {
    for (int k = 0; k < 8; k += 2) {
        if (separatedBy(a, k, a, b) || separatedBy(b, k, a, b)) return false;
    }
    return true;
}

bool LabelPlacement::box(const Candidate& c, Placed& placed) const {
    placed.id = c.id;
    float dx = 1, dy = 0;  // the way the box runs from its start
    float startX = c.x, startY = c.y;
    switch (c.style) {
        case Style::Beside:
            startX = c.x + c.gap;
            break;
        case Style::Radial: {
            const float length = std::hypot(c.directionX, c.directionY);
            if (length > 0) dx = c.directionX / length, dy = c.directionY / length;
            startX = c.x + c.gap * dx;
            startY = c.y + c.gap * dy;
            break;
        }
        case Style::Inside:
            if (c.width > c.cellWidth || c.height > c.cellHeight) return false;
            startX = c.x - c.width / 2;
            break;
    }
    // Across the box, half the height each side of the line it runs along.
    const float ax = -dy * c.height / 2, ay = dx * c.height / 2;
    const float endX = startX + dx * c.width, endY = startY + dy * c.width;
    placed.corners = {startX - ax, startY - ay, endX - ax,   endY - ay,
                      endX + ax,   endY + ay,   startX + ax, startY + ay};
    // A label on the left half reads from its far end back to the vertex.
    const bool flipped = dx < 0 || (dx == 0 && dy > 0);
    placed.directionX = flipped ? -dx : dx;
    placed.directionY = flipped ? -dy : dy;
    placed.originX = flipped ? endX : startX;
    placed.originY = flipped ? endY : startY;
    return true;
}

std::vector<LabelPlacement::Placed> LabelPlacement::place(std::vector<Candidate> candidates) const {
    std::stable_sort(
        candidates.begin(), candidates.end(),
        [](const Candidate& a, const Candidate& b) { return a.priority < b.priority; });
    std::vector<Placed> placed;
    std::unordered_map<uint64_t, std::vector<uint32_t>> buckets;
    auto key = [](long bx, long by) { return uint64_t(uint32_t(bx)) << 32 | uint32_t(by); };
    for (const Candidate& candidate : candidates) {
        Placed label;
        if (!box(candidate, label)) continue;
        float x0, y0, x1, y1;
        bounds(label.corners, x0, y0, x1, y1);
        if (!(x0 >= 0 && y0 >= 0 && x1 <= m_width && y1 <= m_height)) continue;
        const long bx0 = long(x0 / kBucket), bx1 = long(x1 / kBucket);
        const long by0 = long(y0 / kBucket), by1 = long(y1 / kBucket);
        bool free = true;
        for (long bx = bx0; bx <= bx1 && free; ++bx) {
            for (long by = by0; by <= by1 && free; ++by) {
                const auto found = buckets.find(key(bx, by));
                if (found == buckets.end()) continue;
                for (uint32_t other : found->second) {
                    if (overlap(label.corners, placed[other].corners)) {
                        free = false;
                        break;
                    }
                }
            }
        }
        if (!free) continue;
        const auto index = static_cast<uint32_t>(placed.size());
        placed.push_back(label);
        for (long bx = bx0; bx <= bx1; ++bx) {
            for (long by = by0; by <= by1; ++by) buckets[key(bx, by)].push_back(index);
        }
    }
    return placed;
}
