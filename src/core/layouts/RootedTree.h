#pragma once

#include "View.h"

// Leaves spread evenly along x in id order, every inner vertex centred over its children, depth
// along y.
class RootedTree : public View {
public:
    using View::View;
    void calculate() override;
};
