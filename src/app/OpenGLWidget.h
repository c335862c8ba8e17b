#pragma once

#include <GL/glew.h>

#include "Camera.h"
#include "CameraControl.h"
#include "Light.h"

#include <QOpenGLWidget>

#include <memory>

class RenderImplementation;
class View;

// The drawing surface: owns the renderer, the light and the two cameras, repaints continuously
// and turns ALT mouse drags and ALT keys into camera and light moves. A drag without ALT picks.
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
    int viewportWidth() const { return m_viewportWidth; }
    int viewportHeight() const { return m_viewportHeight; }

public slots:
    void setView(View** view);

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    // Rotation factors and distance of the 3D orbit, and the arithmetic of every camera move.
    CameraControl m_cameraControl;
    bool m_mode3D = true;
    float m_oldMousePosition[3] = {0, 0, 0};
    QColor m_backgroundColor{0, 0, 0, 255};
    int m_viewportWidth = 0;
    int m_viewportHeight = 0;
    std::unique_ptr<Light> m_light;
    std::unique_ptr<Camera> m_orthoCamera;
    std::unique_ptr<Camera> m_perspectiveCamera;
    std::unique_ptr<RenderImplementation> m_renderer;
    bool m_initialized = false;
    View** m_pendingViews = nullptr;
};
