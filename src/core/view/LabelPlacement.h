#pragma once

#include <array>
#include <cstdint>
#include <vector>

// Chooses which vertex names go on the picture so that no two label boxes meet and every box
// lies inside the picture: candidates are taken by priority (lower first, in the order given
// among equals) and each is kept when it meets none kept before. Pixel coordinates, y down.
// Cost grows with the candidates times the labels near each, through a grid of buckets.
class LabelPlacement {
public:
    // How a label stands to its vertex.
    enum class Style : uint8_t {
        Beside,  // to the right of the vertex, centred on it in height
        Radial,  // along the ray from the centre through the vertex, outward
        Inside,  // centred on the vertex, within its cell (a treemap rectangle)
    };

    struct Candidate {
        uint32_t id = 0;
        float x = 0, y = 0;           // the vertex on the picture
        float width = 0, height = 0;  // of the text
        int priority = 0;
        Style style = Style::Beside;
        float directionX = 1, directionY = 0;  // Radial: unit ray outward
        float cellWidth = 0, cellHeight = 0;   // Inside: the cell's size
        float gap = 6;  // Beside and Radial: pixels between the vertex and its label
    };

    struct Placed {
        uint32_t id;
        // Where the text's baseline box starts and the direction it reads in: unit vector,
        // never pointing left, so that every label reads left to right and upright.
        float originX, originY;
        float directionX, directionY;
        // The box's corners, in order around it.
        std::array<float, 8> corners;
    };

    LabelPlacement(float pictureWidth, float pictureHeight);

    std::vector<Placed> place(std::vector<Candidate> candidates) const;

    // Whether two convex quadrilaterals (corners in order) overlap: separating axes.
    static bool overlap(const std::array<float, 8>& a, const std::array<float, 8>& b);

private:
    // The box of a candidate, or false when it has none (a cell too small for the text).
    bool box(const Candidate& candidate, Placed& placed) const;

    float m_width;
    float m_height;
};
