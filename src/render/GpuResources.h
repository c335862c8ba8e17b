#pragma once

#include "FrameBuffer.h"
#include "GlName.h"
#include "ShaderProgram.h"

#include <array>
#include <memory>
#include <vector>

// Every GL object the renderer makes once per context: the shader programs, the off-screen
// framebuffers, the display lists, sphere meshes and textures the drawers call. The objects of a
// graph (hierarchy-edge and curve buffers) come and go with the graph. All are freed with their
// holders; the drawing surface destroys the renderer with its context current.
class GpuResources {
public:
    // In the order of RenderImplementation::program's index.
    enum Program {
        SHADING,
        SHADOW,
        SUM,
        SUM_FINAL,
        WEIGHTING,
        OCCLUSION,
        WEIGHTING_FINAL,
        FLOOR,    // the shading program's variant that reads the shadow map
        SPHERES,  // its variant that draws vertex spheres as sprites (software rasterisers)
        PROGRAM_COUNT
    };
    // The shading program's uniforms (SHADING, FLOOR and SPHERES), in the order of its uniform
    // list.
    enum ShadingUniform { SHADOW_MAP, ENABLE_SHADOW, OBJECT_TYPE, LIGHT_TYPE, TEXTURE0, U_COLOR };

    // Builds the programs, framebuffers, display lists and textures.
    void create();
    bool created() const { return m_programs[SHADING] != nullptr; }
    ShaderProgram& program(Program p) const { return *m_programs[p]; }

    std::unique_ptr<FrameBuffer> sceneBuffer;      // picture and picking output
    std::unique_ptr<FrameBuffer> weightingBuffer;  // blending method 3's sums
    std::unique_ptr<FrameBuffer> sumBuffer;        // blending method 4's sums
    std::unique_ptr<FrameBuffer> shadowBuffer;     // the shadow map

private:
    std::array<std::unique_ptr<ShaderProgram>, PROGRAM_COUNT> m_programs;
    std::vector<GlName> m_displayLists, m_textures, m_buffers;
};
