#pragma once

#include "View.h"

// The root at the centre, every vertex of depth d on the circle of radius d / L in the x-z plane;
// leaves share the full circle evenly in id order, inner vertices take their children's mean
// angle.
class RadialTree : public View {
public:
    using View::View;
    void calculate() override;
};
