#include "GpuResources.h"

#include "CurveBuffers.h"
#include "DisplayLists.h"
#include "RenderTree.h"

namespace {

// prelude: compiled in front of the vertex shader; the curve prelude for programs that draw
// relation curves.
// define: defined in the fragment shader, for a variant of it.
std::unique_ptr<ShaderProgram> buildProgram(const char* vertexFile, const char* fragmentFile,
                                            std::vector<const char*> uniforms,
                                            const char* prelude = nullptr,
                                            const char* define = nullptr) {
    std::vector<ShaderUniform> list;
    for (const char* name : uniforms) list.push_back(ShaderUniform{name, -1});
    auto program = std::make_unique<ShaderProgram>(vertexFile, fragmentFile, list, prelude, define);
    program->buildProgram();
    if (prelude) CurveBuffers::assignSamplerUnits(program->m_handle);
    return program;
}

}  // namespace

void GpuResources::create() {
    const std::vector<const char*> shading = {"ShadowMap",  "enable_shadow", "object_type",
                                              "light_type", "Texture0",      "uColor"};
    const char* curves = CurveBuffers::kVertexPrelude;
    auto& p = m_programs;
    p[SHADING] = buildProgram("shader/shading_dir_vert.glsl", "shader/shading_dir_frag.glsl",
                              shading, curves);
    p[FLOOR] = buildProgram("shader/shading_dir_vert.glsl", "shader/shading_dir_frag.glsl", shading,
                            curves, "FLOOR_SHADOW");
    p[SPHERES] = buildProgram("shader/shading_dir_vert.glsl", "shader/shading_dir_frag.glsl",
                              shading, curves, "SPHERE_SPRITES");
    p[SHADOW] = buildProgram("shader/shadow_vert.glsl", "shader/shadow_frag.glsl", {}, curves);
    p[SUM] = buildProgram("shader/sum_vert.glsl", "shader/sum_frag.glsl", {"light_type"}, curves);
    p[SUM_FINAL] = buildProgram("shader/sum_final_vert.glsl", "shader/sum_final_frag.glsl",
                                {"ColorTex0", "Background"});
    p[WEIGHTING] = buildProgram("shader/weighting_vert.glsl", "shader/weighting_frag.glsl",
                                {"light_type"}, curves);
    p[OCCLUSION] = buildProgram("shader/relation_occlusion_vert.glsl",
                                "shader/relation_occlusion_frag.glsl", {"DepthBackground"});
    p[WEIGHTING_FINAL] =
        buildProgram("shader/weighting_final_vert.glsl", "shader/weighting_final_frag.glsl",
                     {"ColorTex0", "ColorTex1", "Background"});

    sceneBuffer = std::make_unique<FrameBuffer>(2);
    weightingBuffer = std::make_unique<FrameBuffer>(2);
    sumBuffer = std::make_unique<FrameBuffer>(1);
    shadowBuffer = std::make_unique<FrameBuffer>(1);

    // The drawers call the lists and textures by their global names; this holder frees the
    // ones made here.
    buildDisplayLists();
    const GLuint lists[] = {g_sphereList,
                            g_smallSphereLists[0],
                            g_smallSphereLists[1],
                            g_smallSphereLists[2],
                            g_smallSphereLists[3],
                            g_circleList,
                            g_cubeList,
                            g_squareOutlineList,
                            g_squareList};
    m_displayLists.clear();
    for (GLuint list : lists) m_displayLists.emplace_back(GlName::Kind::DISPLAY_LISTS, list);
    m_buffers.clear();
    for (GLuint buffer : sphereBufferNames()) m_buffers.emplace_back(GlName::Kind::BUFFER, buffer);
    loadTextures();
    m_textures.clear();
    for (GLuint texture : {g_cushionTexture, g_lightTexture}) {
        m_textures.emplace_back(GlName::Kind::TEXTURE, texture);
    }
}
