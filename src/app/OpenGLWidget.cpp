#include "OpenGLWidget.h"

#include "DefaultFramebuffer.h"
#include "RenderImplementation.h"
#include "RenderStates.h"
#include "ViewerGlState.h"

#include <IL/il.h>
#include <IL/ilu.h>

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace {

// The light moves by the float 0.05 per key press.
constexpr double kLightStep = static_cast<double>(0.05f);

bool onlyAlt(const QInputEvent* event) { return event->modifiers() == Qt::AltModifier; }

}  // namespace

OpenGLWidget::OpenGLWidget(QWidget* parent)
    : QOpenGLWidget(parent),
      m_orthoCamera(std::make_unique<Camera>(-1.0f, 1.0f, -0.75f, 0.75f, 0.0f, 50.0f)),
      m_perspectiveCamera(std::make_unique<Camera>(1.0f, 20.0f, 80.0f, 4.0f / 3.0f)),
      m_renderer(std::make_unique<RenderImplementation>()) {
    setFocusPolicy(Qt::StrongFocus);
    setFocus();
    m_light = std::make_unique<Light>();
}

OpenGLWidget::~OpenGLWidget() {
    // GL objects belong to this widget's context.
    makeCurrent();
    m_renderer.reset();
    doneCurrent();
}

void OpenGLWidget::initializeGL() {
    std::cout << "- Initializing GLEW...\n";
    glewExperimental = GL_TRUE;
    GLenum status = glewInit();
    // Under EGL GLEW reports the missing GLX display although every entry point loaded.
    if (status != GLEW_OK && !(status == GLEW_ERROR_NO_GLX_DISPLAY && glCreateProgram)) {
        std::cerr << "- GLEW Error: " << glewGetErrorString(status) << '\n';
        std::exit(1);
    }
    std::cout << "- GLEW initialized!\n- Testing OpenGL Version...\n";
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (!glewIsSupported("GL_VERSION_3_2")) std::cout << "- OpenGL 3.2 ist not supported!\n";
    std::cout << "- OpenGL Version: " << (version ? version : "") << '\n';

    ilInit();
    iluInit();

    applyViewerDepthState();
    glClearColor(m_backgroundColor.redF(), m_backgroundColor.greenF(), m_backgroundColor.blueF(),
                 m_backgroundColor.alphaF());

    m_orthoCamera->lookAt({0, -1, 0}, {0, 0, 0}, {0, 0, 1});
    m_perspectiveCamera->lookAt({0, 0, -1}, {0, 0, 0}, {0, 1, 0});

    setDefaultFramebuffer(defaultFramebufferObject());
    m_renderer->setCamera(m_perspectiveCamera.get());
    m_renderer->Initialize();

    applyViewerLineState();
    m_initialized = true;
    if (m_pendingViews) {
        m_renderer->CreateObjects(m_pendingViews);
        m_pendingViews = nullptr;
    }
}

void OpenGLWidget::resizeGL(int w, int h) {
    if (h == 0) h = 1;
    glViewport(0, 0, w, h);
    m_viewportWidth = w;
    m_viewportHeight = h;
}

void OpenGLWidget::paintGL() {
    m_mode3D = g_renderStates.mode3D;
    Camera* camera = m_mode3D ? m_perspectiveCamera.get() : m_orthoCamera.get();
    setDefaultFramebuffer(defaultFramebufferObject());

    QElapsedTimer timer;
    timer.start();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    m_renderer->render(camera, m_light.get());
    m_renderer->drawOverlay(static_cast<int>(timer.elapsed()));
    update();
}

void OpenGLWidget::setView(View** view) {
    // Before the context exists the objects cannot be made; initializeGL makes them.
    if (!m_initialized) {
        m_pendingViews = view;
        return;
    }
    makeCurrent();
    m_renderer->CreateObjects(view);
    doneCurrent();
}

void OpenGLWidget::mousePressEvent(QMouseEvent* event) {
    setFocus();
    std::cout << " mousePressEvent \n";
    m_oldMousePosition[0] = static_cast<float>(event->position().x());
    m_oldMousePosition[1] = static_cast<float>(event->position().y());
    m_oldMousePosition[2] = 0;
}

void OpenGLWidget::mouseMoveEvent(QMouseEvent* event) {
    std::cout << " mouseMoveEvent \n";
    const float x = static_cast<float>(event->position().x());
    const float y = static_cast<float>(event->position().y());
    if (!onlyAlt(event)) {
        makeCurrent();
        m_renderer->pick(static_cast<int>(x), static_cast<int>(y));
        doneCurrent();
        return;
    }
    const Qt::MouseButtons buttons = event->buttons();
    if (buttons != Qt::RightButton && buttons != Qt::LeftButton) return;
    const float dx = CameraControl::deltaX(x - m_oldMousePosition[0]);
    const float dy = CameraControl::deltaY(y - m_oldMousePosition[1]);
    m_oldMousePosition[0] = x;
    m_oldMousePosition[1] = y;
    m_oldMousePosition[2] = 0;
    if (buttons == Qt::RightButton) {
        m_cameraControl.zoomStep(dx, dy, m_mode3D, *m_orthoCamera, *m_perspectiveCamera);
    } else if (m_mode3D) {
        m_cameraControl.orbitStep(dx, dy, *m_perspectiveCamera);
    } else {
        CameraControl::panStep(dx, dy, *m_orthoCamera);
    }
}

void OpenGLWidget::mouseReleaseEvent(QMouseEvent*) {
    std::cout << " Stop Picking\n mouseReleaseEvent \n";
}

void OpenGLWidget::keyPressEvent(QKeyEvent* event) {
    if (!onlyAlt(event)) return;
    float* position = m_light->m_position;
    switch (event->key()) {
        case Qt::Key_W:
            position[2] = static_cast<float>(position[2] + kLightStep);
            break;
        case Qt::Key_S:
            position[2] = static_cast<float>(position[2] - kLightStep);
            break;
        case Qt::Key_A:
            position[0] = static_cast<float>(position[0] + kLightStep);
            break;
        case Qt::Key_D:
            position[0] = static_cast<float>(position[0] - kLightStep);
            break;
        case Qt::Key_R:
            position[1] = static_cast<float>(position[1] + kLightStep);
            break;
        case Qt::Key_F:
            position[1] = static_cast<float>(position[1] - kLightStep);
            break;
        default:
            break;
    }
}

void OpenGLWidget::keyReleaseEvent(QKeyEvent*) {}
