#pragma once

#include "VertexBallon.h"
#include "View.h"

#include <cstdint>
#include <map>

// Every subtree inside a circle, its balloon: the children of a vertex sit on a circle around it
// in the x-z plane, each child surrounded by the circle of its own subtree; depth adds height.
class BallonTree : public View {
public:
    using View::View;
    void calculate() override;

    // One entry per vertex after calculate, by vertex id.
    const std::map<uint32_t, VertexBallonPtr>& balloons() const { return m_balloons; }

protected:
    std::map<uint32_t, VertexBallonPtr> m_balloons;
};
