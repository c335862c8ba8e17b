#pragma once

#include <GL/glew.h>

#include "FrameContext.h"
#include "Matrix.h"

#include <array>
#include <cstddef>

class FrameBuffer;
class ShaderProgram;

// The drawing the passes share, for one frame: the scene's rotation and scale, the shown view's
// vertices, grid, hierarchy edges and relation curves, the camera's matrices and the shading
// program's uniforms. Each call leaves the matrix mode, the matrix stacks, the active texture
// unit and the client arrays as it found them (beginScene and loadCameraMatrices push the
// model-view matrix, endScene pops it).
class SceneDrawing {
public:
    // The shading program's values of its "object_type".
    enum ObjectType {
        OBJECT_VERTEX = 0,
        OBJECT_EDGE = 1,
        OBJECT_GRID = 3,
        OBJECT_CURVE_MAX = 4,   // the trace of a curve in the maximum pass
        OBJECT_CURVE_TINT = 5,  // the pale tint of method 2's alpha pass
    };
    // The light type the shaders read as "unlit".
    static constexpr int kLightingOff = 4;

    explicit SceneDrawing(const FrameContext& frame) : m_frame(frame) {}

    // The scene rotation and scale, as applied under the camera.
    static Matrix4 sceneTransform(const FrameContext& frame);
    void applySceneTransform() const;
    // Loads the camera's projection and view and pushes the model-view matrix.
    static void loadCameraMatrices(const Camera& camera);
    // Loads the inverse camera view into texture unit 6's matrix, or resets it (nullptr).
    static void setUnit6ViewInverse(const Matrix4* viewInverse);
    int lightType() const;
    void setLightTypeUniform(const ShaderProgram& program, int index) const;
    // Makes a program with the shading program's uniforms current and sets them: shadow map on
    // unit 7, texture 0, the light type in force.
    void useShading(const ShaderProgram& program, bool shadow, int objectType,
                    const std::array<float, 4>& color) const;
    // Binds the scene buffer (cleared when asked) and the shading program under the camera;
    // endScene unbinds both and pops the camera.
    void beginScene(const FrameBuffer& scene, const ShaderProgram& shading, bool clear) const;
    void endScene() const;

    void drawVertices() const;
    // The vertices in the vertex colour, the selected one in the selection colour.
    void drawVerticesWithSelection(const ShaderProgram& shading) const;
    void drawGrid() const;
    void drawHierarchyEdges(bool withTexCoords) const;
    // The curves from number first on, until the deadline; returns the number of the first not
    // drawn (drawnCurves() when all are).
    size_t drawRelationEdges(size_t first, const Deadline& deadline) const;
    size_t drawnCurves() const;
    // A quad over the whole surface with textures t0 .. t2 on units 0 .. 2 (0 for none).
    void drawScreenQuad(GLuint t0, GLuint t1, GLuint t2) const;

private:
    template <typename Draw>
    void transformed(Draw draw) const;

    const FrameContext& m_frame;
};
