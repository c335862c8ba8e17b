#pragma once

#include "Selection.h"

#include <cstdint>
#include <string>

// What the overlay writes over the picture, worked out without GL: the selection's four lines
// and the last frame's time.
class OverlayText {
public:
    // Row 0 .. 3 of the selection's text; a vertex's line 3 counts its relation edges.
    static std::string line(const Selection& selection, uint32_t incoming, uint32_t outgoing,
                            int row);
    // How long the last frame took, "16 ms", or "13.2 s" from ten seconds.
    static std::string frameTimeText(int milliseconds);
    // Numbers in the overlay are cut to five characters.
    static std::string field(long long value);
};
