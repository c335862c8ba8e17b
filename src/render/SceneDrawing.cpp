#include "SceneDrawing.h"

#include "Camera.h"
#include "DefaultFramebuffer.h"
#include "FrameBuffer.h"
#include "GpuResources.h"
#include "Light.h"
#include "RenderTree.h"
#include "Selection.h"
#include "ShaderProgram.h"
#include "View.h"

namespace {

Matrix4 currentMatrix(GLenum which) {
    Matrix4 m;
    glGetFloatv(which, m.data());
    return m;
}

}  // namespace

Matrix4 SceneDrawing::sceneTransform(const FrameContext& frame) {
    Matrix4 m = math::rotate(math::identity(), frame.rotation[0], {1, 0, 0});
    m = math::rotate(m, frame.rotation[1], {0, 1, 0});
    m = math::rotate(m, frame.rotation[2], {0, 0, 1});
    return math::scale(m, {frame.scale, frame.scale, frame.scale});
}

void SceneDrawing::applySceneTransform() const {
    glRotatef(m_frame.rotation[0], 1, 0, 0);
    glRotatef(m_frame.rotation[1], 0, 1, 0);
    glRotatef(m_frame.rotation[2], 0, 0, 1);
    glScalef(m_frame.scale, m_frame.scale, m_frame.scale);
}

template <typename Draw>
void SceneDrawing::transformed(Draw draw) const {
    glPushMatrix();
    applySceneTransform();
    draw();
    glPopMatrix();
}

void SceneDrawing::loadCameraMatrices(const Camera& camera) {
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(camera.projection.data());
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(camera.view.data());
    glPushMatrix();
}

void SceneDrawing::setUnit6ViewInverse(const Matrix4* viewInverse) {
    // The shaders read the inverse camera view from texture unit 6's matrix.
    glActiveTexture(GL_TEXTURE6);
    glMatrixMode(GL_TEXTURE);
    if (viewInverse) {
        glLoadMatrixf(viewInverse->data());
        glEnable(GL_TEXTURE_2D);
    } else {
        glLoadIdentity();
        glDisable(GL_TEXTURE_2D);
    }
    glMatrixMode(GL_MODELVIEW);
    glActiveTexture(GL_TEXTURE0);
}

int SceneDrawing::lightType() const {
    return m_frame.light->m_enabled ? m_frame.light->m_type : kLightingOff;
}

void SceneDrawing::setLightTypeUniform(const ShaderProgram& program, int index) const {
    glUniform1iARB(program.location(index), lightType());
}

void SceneDrawing::useShading(const ShaderProgram& program, bool shadow, int objectType,
                              const std::array<float, 4>& color) const {
    program.use();
    glUniform1iARB(program.location(GpuResources::SHADOW_MAP), 7);
    glUniform1iARB(program.location(GpuResources::ENABLE_SHADOW), shadow ? 1 : 0);
    glUniform1iARB(program.location(GpuResources::OBJECT_TYPE), objectType);
    setLightTypeUniform(program, GpuResources::LIGHT_TYPE);
    glUniform1iARB(program.location(GpuResources::TEXTURE0), 0);
    glUniform4fARB(program.location(GpuResources::U_COLOR), color[0], color[1], color[2], color[3]);
}

void SceneDrawing::beginScene(const FrameBuffer& scene, const ShaderProgram& shading,
                              bool clear) const {
    scene.bind();
    if (clear) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        // The picking output starts empty: alpha 0 marks pixels that no object covers.
        const GLfloat nothing[4] = {0, 0, 0, 0};
        glClearBufferfv(GL_COLOR, 1, nothing);
    }
    loadCameraMatrices(*m_frame.camera);
    const Matrix4 viewInverse = math::inverse(currentMatrix(GL_MODELVIEW_MATRIX));
    useShading(shading, false, OBJECT_EDGE, {1, 1, 1, 1});
    setUnit6ViewInverse(&viewInverse);
    glColor4f(1, 1, 1, 1);
}

void SceneDrawing::endScene() const {
    setUnit6ViewInverse(nullptr);
    glUseProgramObjectARB(0);
    glPopMatrix();
    bindDefaultFramebuffer();
}

void SceneDrawing::drawVertices() const {
    if (!m_frame.showsGraph() || !m_frame.drawVertices) return;
    transformed([&] { m_frame.drawer->drawVertices(); });
}

void SceneDrawing::drawVerticesWithSelection(const ShaderProgram& shading) const {
    const auto& v = m_frame.vertexColor;
    glUniform4fARB(shading.location(GpuResources::U_COLOR), v[0], v[1], v[2], v[3]);
    if (!m_frame.selectedVertex) {
        drawVertices();
        return;
    }
    if (!m_frame.showsGraph() || !m_frame.drawVertices) return;
    const Vertex& selected = *m_frame.selectedVertex;
    const RenderTree& drawer = *m_frame.drawer;
    transformed([&] { drawer.drawVerticesExcept(selected); });
    const auto& s = m_frame.selectionColor;
    glUniform4fARB(shading.location(GpuResources::U_COLOR), s[0], s[1], s[2], s[3]);
    transformed([&] { drawer.drawVertex(selected); });
}

void SceneDrawing::drawGrid() const {
    if (!m_frame.showsGraph() || !m_frame.drawGrid) return;
    transformed([&] { m_frame.drawer->drawGrid(); });
}

void SceneDrawing::drawHierarchyEdges(bool withTexCoords) const {
    if (!m_frame.views || !m_frame.drawHierarchyEdges) return;
    const std::array<GLuint, 3>& buffers = (*m_frame.hierarchyBuffers)[m_frame.viewType];
    glPushMatrix();
    applySceneTransform();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    if (withTexCoords) glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, buffers[1]);
    glColorPointer(4, GL_FLOAT, 0, nullptr);
    if (withTexCoords) {
        glActiveTexture(GL_TEXTURE7);
        glBindBuffer(GL_ARRAY_BUFFER, buffers[2]);
        glTexCoordPointer(4, GL_FLOAT, 0, nullptr);
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    // As for the curves: tens of thousands of smoothed lines cost a software rasteriser seconds,
    // and where so many run together the stair steps of single lines do not show.
    // A software rasteriser gives up smoothing sooner: it triples the fragments of each line.
    const uint32_t edges = m_frame.hierarchyEdgeCount;
    const bool rough = edges > CurveBuffers::kManyCurves ||
                       (edges > kSmoothSoftwareEdges && m_frame.softwareCurves);
    const GLboolean smoothLines = glIsEnabled(GL_LINE_SMOOTH);
    if (rough) glDisable(GL_LINE_SMOOTH);
    glPushMatrix();
    if (m_frame.draft && m_frame.draftEdgeIndices) {
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_frame.draftEdgeIndices);
        glDrawElements(GL_LINES, GLsizei(2 * m_frame.draftEdgeCount), GL_UNSIGNED_INT, nullptr);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    } else {
        glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(2 * m_frame.hierarchyEdgeCount));
    }
    glPopMatrix();
    if (rough && smoothLines) glEnable(GL_LINE_SMOOTH);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    if (withTexCoords) {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glActiveTexture(GL_TEXTURE0);
    }
    glPopMatrix();
}

size_t SceneDrawing::drawRelationEdges(size_t first, const Deadline& deadline) const {
    if (!m_frame.drawRelationEdges || !m_frame.views) return drawnCurves();
    CurveBuffers::Frame frame;
    frame.viewType = m_frame.viewType;
    frame.beta = m_frame.beta;
    frame.colors = m_frame.curveColors;
    // While the user drags: fewer samples, at most some thousands of curves, unsmoothed lines.
    frame.draft = m_frame.draft;
    frame.stride = m_frame.curveStride();
    frame.first = first;
    frame.deadline = deadline;
    // Smoothing doubles the cost of a line in a software rasteriser; where tens of thousands of
    // curves run together, the bundles hide the stair steps of single lines.
    // (Drafts draw all lines plain already.)
    const bool rough = m_frame.curves->curveCount() > CurveBuffers::kManyCurves;
    const GLboolean smoothLines = glIsEnabled(GL_LINE_SMOOTH);
    if (rough) glDisable(GL_LINE_SMOOTH);
    size_t next = first;
    transformed([&] { next = m_frame.curves->draw(frame); });
    if (smoothLines) glEnable(GL_LINE_SMOOTH);
    return next;
}

size_t SceneDrawing::drawnCurves() const {
    return m_frame.curves ? m_frame.curves->drawnCount(m_frame.curveStride()) : 0;
}

void SceneDrawing::drawScreenQuad(GLuint t0, GLuint t1, GLuint t2) const {
    glPushMatrix();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glViewport(0, 0, m_frame.surfaceWidth, m_frame.surfaceHeight);
    glOrtho(-0.5, 0.5, -0.5, 0.5, 1, 20);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClear(GL_DEPTH_BUFFER_BIT);
    const GLuint textures[8] = {t0, t1, t2, 0, 0, 0, 0, 0};
    for (int unit : {0, 1, 2, 3, 5, 6, 7}) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, textures[unit]);
        glEnable(GL_TEXTURE_2D);
    }
    glTranslatef(0, 0, -1);
    const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    glBegin(GL_QUADS);
    for (const auto& c : corners) {
        for (int unit = 0; unit < 8; ++unit) glMultiTexCoord2f(GL_TEXTURE0 + unit, c[0], c[1]);
        glVertex3f(c[0] - 0.5f, c[1] - 0.5f, 0);
    }
    glEnd();
    glPopMatrix();
    for (int unit = 7; unit >= 0; --unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glDisable(GL_TEXTURE_2D);
    }
}
