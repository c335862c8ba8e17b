#pragma once

#include <GL/glew.h>

#include "Camera.h"
#include "CameraControl.h"
#include "FrameScheduler.h"
#include "Light.h"
#include "RenderStates.h"
#include "SceneBounds.h"
#include "SurfaceInput.h"

#include <QImage>
#include <QOpenGLWidget>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class CurveControls;
struct SceneGeometry;
class QPainter;
class RenderImplementation;
class View;

// The drawing surface: owns the renderer, the light and the two cameras, and frames the current
// view whenever a graph, a view or the 2D/3D mode comes on screen. When to draw and what is the
// FrameScheduler's to say (a frame only when something shown has changed: render states, camera,
// light, selection, size or graph); mouse and keys become camera and light moves and picks in
// SurfaceInput. This class hands them the toolkit's events and does the GL.
class OpenGLWidget : public QOpenGLWidget {
    Q_OBJECT

public:
    explicit OpenGLWidget(QWidget* parent = nullptr);
    ~OpenGLWidget() override;

    RenderImplementation* renderer() const { return m_renderer.get(); }
    Light* light() const { return m_light.get(); }
    Camera* orthoCamera() const { return m_orthoCamera.get(); }
    Camera* perspectiveCamera() const { return m_perspectiveCamera.get(); }
    float distance() const { return m_cameraControl.distance(); }
    const CameraControl& cameraControl() const { return m_cameraControl; }
    // The box last framed, in drawn coordinates with the scene rotation and scale applied.
    const SceneBounds& framedBounds() const { return m_framedBounds; }
    // Viewport in device pixels.
    int viewportWidth() const { return m_viewportWidth; }
    int viewportHeight() const { return m_viewportHeight; }

    // The picture the last frame drew, read back without drawing another (a frame of a large
    // graph takes seconds); opaque, in device pixels.
    QImage shownPicture();
    // Curve controls made with the graph off the GUI thread, for the next setView.
    void adoptCurveControls(std::unique_ptr<CurveControls> controls);
    // Hierarchy-edge arrays and vertex spheres made likewise, for the next setView.
    void adoptSceneGeometry(std::unique_ptr<SceneGeometry> geometry);
    // Centres both cameras on a drawn point, keeping their zoom and direction.
    void lookAtPoint(const Vector3& drawnPoint);

    // Asks for a frame because something it shows has changed.
    void requestFrame();
    // Whether the last frame drawn is a full one that shows every change made so far; notices
    // changed render states first, so a change not yet drawn answers false.
    bool showsCurrentState();
    // Input that moves the picture arrived: frames are drafts until input rests for
    // FrameScheduler::kRestMilliseconds, then the full frame follows.
    void draftUntilRest();
    bool drawsDrafts() const { return m_scheduler.drawsDrafts(); }
    // A frame drawn for a saved picture alone has no user waiting to see it grow: it is drawn
    // whole, without the composition and hand-over to the window each part costs.
    void drawFramesWhole();
    // Frames drawn since the surface was made.
    quint64 framesDrawn() const { return m_scheduler.framesDrawn(); }
    // Frames begun, a frame drawn in parts counting once: what is painted over a frame's first
    // part may be kept for its later parts.
    quint64 framesBegun() const { return m_scheduler.framesBegun(); }
    // How long the last frame took to draw.
    qint64 lastFrameMilliseconds() const { return m_lastFrameMilliseconds; }
    // Whether memory ran out for the graph on screen or a frame of it.
    bool lacksGraphicsMemory() const { return m_lacksGraphicsMemory; }
    // Whether a shader or framebuffer problem kept a picture from being drawn as it should.
    bool drawingBroken() const { return m_drawingBroken; }

    // The five views on screen, in view-type order; null before a graph.
    View* const* views() const { return m_views; }
    // The next setView shows another part of the same graph: the cameras stay where they are.
    void keepCameraOnNextView() { m_keepCamera = true; }
    // Painted over every frame with QPainter, in widget pixels (the vertex labels); empty for
    // none.
    void setPainterOverlay(std::function<void(QPainter&)> overlay) {
        m_painterOverlay = std::move(overlay);
    }

signals:
    // A double-click, or a right click without a drag, on a vertex (picked, so selected).
    void vertexDoubleClicked(uint32_t id);
    void vertexMenuRequested(uint32_t id, const QPoint& globalPosition);
    // The graphics driver ran out of memory for the graph's objects or a frame; the picture may
    // be missing parts of the graph.
    void graphicsMemoryFailed(const QString& message);
    // A shader could not be read, compiled or linked, or a framebuffer is incomplete.
    void drawingBroken(const QString& message);

public slots:
    // Makes the objects of the graph in g_graph with its views and frames it. False when the
    // driver or memory refused them: the graph shown before stays (the caller puts g_graph back).
    bool setView(View** view);
    // Frames the current view again, as when it first came on screen.
    void fitView();

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // Frames the view in force in the render states with both cameras; with placeLight the
    // light moves to where it lights that view.
    void frameView(bool placeLight);
    // The box of the view in force, with the scene rotation, scale and bundling strength in
    // force; remembers those.
    SceneBounds viewBounds();
    bool boundsStateChanged() const;
    // Clipping planes and the renderer's box follow a changed scene transform.
    void followSceneTransform();
    float aspect() const;
    // Picks at a widget position, in the device pixels the renderer's buffers have.
    void pickAt(const QPointF& position);
    // Picks there and returns the vertex picked, or false.
    bool pickVertexAt(const QPointF& position, uint32_t& id);
    // Hands a gesture to the input rules and does what they ask of the surface.
    void handleGesture(const SurfaceInput::Gesture& gesture, const QPointF& globalPosition = {});
    // Whether the render states changed since last noticed; notes them.
    bool takeStateChanges();
    // Asks for a frame when the render states differ from those the last frame was asked for.
    void noticeStateChanges();
    // Reports memory the driver could not give, once per failure.
    void checkGraphicsMemory(const char* during);
    // The renderer's objects for a graph, with memory that runs out reported.
    bool createObjects(View** views);
    // The selection's text and the frame time over the picture.
    void paintOverlay();
    // Hands on the shader and framebuffer problems found since the last call.
    void checkDrawingProblems();

    // Rotation factors and distance of the 3D orbit, and the arithmetic of every camera move.
    CameraControl m_cameraControl;
    bool m_mode3D = true;
    QColor m_backgroundColor{0, 0, 0, 255};
    int m_viewportWidth = 0;
    int m_viewportHeight = 0;
    std::unique_ptr<Light> m_light;
    std::unique_ptr<Camera> m_orthoCamera;
    std::unique_ptr<Camera> m_perspectiveCamera;
    std::unique_ptr<RenderImplementation> m_renderer;
    bool m_initialized = false;
    View** m_pendingViews = nullptr;
    View** m_views = nullptr;
    SceneBounds m_framedBounds;
    int m_framedView = -1;
    bool m_framedMode3D = true;
    // Rotation x, y, z, scale slider and beta the box was last computed with.
    std::array<float, 5> m_boundsState{};
    // Whether the user has moved a camera since the view was last framed.
    bool m_cameraMoved = false;
    std::unique_ptr<SurfaceInput> m_input;
    // The render states as they were when the last change was noticed.
    RenderStates m_noticedStates;
    FrameScheduler m_scheduler;
    qint64 m_lastFrameMilliseconds = 0;
    bool m_lacksGraphicsMemory = false;
    bool m_drawingBroken = false;
    // Runs while input moves the picture; restarted by each move, it tells the scheduler when
    // input rests.
    QTimer* m_restTimer = nullptr;
    bool m_keepCamera = false;
    std::function<void(QPainter&)> m_painterOverlay;
};
