#pragma once

// The colour operations the renderer applies when the render states' colours change.
class Renderer {
public:
    virtual void setVertexColor(float r, float g, float b, float a) = 0;
    virtual void setHierarchyEdgeColor(float r, float g, float b, float a) = 0;
    virtual void setRelationEdgeColors(float sr, float sg, float sb, float sa, float er, float eg,
                                       float eb, float ea) = 0;
    virtual void setSelectionColor(float r, float g, float b, float a) = 0;

protected:
    ~Renderer() = default;
};
