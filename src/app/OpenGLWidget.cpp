#include "OpenGLWidget.h"

#include "CameraFraming.h"
#include "DefaultFramebuffer.h"
#include "DrawingProblems.h"
#include "GraphStore.h"
#include "GraphicsMemory.h"
#include "OverlayPainter.h"
#include "RenderImplementation.h"
#include "RenderStates.h"
#include "View.h"
#include "ViewBounds.h"
#include "ViewerGlState.h"

#include <IL/il.h>
#include <IL/ilu.h>

#include <QAbstractEventDispatcher>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <new>

namespace {

// Framed while no graph is loaded: the origin, where the light starts, and the floor under it.
SceneBounds emptySceneBox() {
    SceneBounds box;
    box.add(-1, -2.5f, -1);
    box.add(1, 1, 1);
    return box;
}

}  // namespace

OpenGLWidget::OpenGLWidget(QWidget* parent)
    : QOpenGLWidget(parent),
      m_orthoCamera(std::make_unique<Camera>(-1.0f, 1.0f, -0.75f, 0.75f, 0.0f, 50.0f)),
      m_perspectiveCamera(std::make_unique<Camera>(1.0f, 20.0f, 80.0f, 4.0f / 3.0f)),
      m_renderer(std::make_unique<RenderImplementation>()) {
    setFocusPolicy(Qt::StrongFocus);
    setFocus();
    m_light = std::make_unique<Light>();
    m_input = std::make_unique<SurfaceInput>(m_cameraControl, *m_orthoCamera, *m_perspectiveCamera,
                                             m_light->m_position);
    m_renderer->setFrameBudget(FrameScheduler::kFramePartMilliseconds);
    // The main window's controls write the render states directly; each time the event loop
    // has nothing left to do, a changed record asks for a frame. An idle viewer does nothing.
    std::memcpy(&m_noticedStates, &g_renderStates, sizeof(RenderStates));
    m_restTimer = new QTimer(this);
    m_restTimer->setSingleShot(true);
    m_restTimer->setInterval(FrameScheduler::kRestMilliseconds);
    connect(m_restTimer, &QTimer::timeout, this, [this] {
        m_scheduler.inputRested();
        update();
    });
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                &OpenGLWidget::noticeStateChanges);
    }
}

void OpenGLWidget::drawFramesWhole() { m_renderer->setFrameBudget(0); }

void OpenGLWidget::requestFrame() {
    m_scheduler.requestFrame();
    update();
}

bool OpenGLWidget::takeStateChanges() {
    // Byte for byte: the record is plain data, and a stray difference costs one frame at most.
    if (std::memcmp(&m_noticedStates, &g_renderStates, sizeof(RenderStates)) == 0) return false;
    std::memcpy(&m_noticedStates, &g_renderStates, sizeof(RenderStates));
    return true;
}

void OpenGLWidget::noticeStateChanges() {
    if (takeStateChanges()) requestFrame();
}

bool OpenGLWidget::showsCurrentState() {
    noticeStateChanges();
    return m_scheduler.showsCurrentState(m_renderer->frameComplete());
}

void OpenGLWidget::draftUntilRest() {
    m_restTimer->start();
    m_scheduler.inputMoved();
    update();
}

void OpenGLWidget::checkGraphicsMemory(const char* during) {
    if (!GraphicsMemory::takeFailure()) return;
    m_lacksGraphicsMemory = true;
    emit graphicsMemoryFailed(
        tr("The graphics driver ran out of memory while %1: the picture is missing parts of "
           "the graph.")
            .arg(QString::fromUtf8(during)));
}

void OpenGLWidget::checkDrawingProblems() {
    const std::vector<std::string> lines = DrawingProblems::take();
    if (lines.empty()) return;
    m_drawingBroken = true;
    QStringList text;
    for (const std::string& line : lines) text << QString::fromUtf8(line.c_str()).trimmed();
    emit drawingBroken(tr("The picture cannot be drawn as it should:\n%1").arg(text.join('\n')));
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

    setDefaultFramebuffer(defaultFramebufferObject());
    m_renderer->setCamera(m_perspectiveCamera.get());
    m_renderer->Initialize();

    applyViewerLineState();
    m_initialized = true;
    checkGraphicsMemory("starting");
    checkDrawingProblems();
    if (m_pendingViews) {
        createObjects(m_pendingViews);
        m_pendingViews = nullptr;
    }
    frameView(m_views != nullptr);
}

void OpenGLWidget::resizeGL(int w, int h) {
    // The toolkit reports the size in widget pixels; the framebuffer has device pixels.
    const double ratio = devicePixelRatioF();
    const int width = std::max(1, static_cast<int>(std::lround(w * ratio)));
    const int height = std::max(1, static_cast<int>(std::lround(h * ratio)));
    glViewport(0, 0, width, height);
    m_viewportWidth = width;
    m_viewportHeight = height;
    requestFrame();
    m_renderer->setSurfaceSize(width, height);
    // A picture the user has not moved is framed again for the new shape; a moved one keeps
    // its zoom and only changes its aspect.
    if (m_cameraMoved || m_framedView < 0) {
        CameraFraming::setAspect(aspect(), *m_orthoCamera, *m_perspectiveCamera);
    } else {
        frameView(false);
    }
}

float OpenGLWidget::aspect() const {
    if (m_viewportWidth > 0 && m_viewportHeight > 0) {
        return static_cast<float>(m_viewportWidth) / static_cast<float>(m_viewportHeight);
    }
    if (width() > 0 && height() > 0) return static_cast<float>(width()) / height();
    return 4.0f / 3.0f;
}

SceneBounds OpenGLWidget::viewBounds() {
    const RenderStates& states = g_renderStates;
    m_boundsState = {float(states.rotationX), float(states.rotationY), float(states.rotationZ),
                     float(states.scale), states.beta};
    const int viewType = states.viewType;
    SceneBounds box;
    if (g_graph && m_views && viewType >= 0 && viewType < 5 && m_views[viewType]) {
        box = ViewBounds::ofView(*g_graph, *m_views[viewType], viewType, states.beta);
    }
    if (box.empty()) return box;
    return ViewBounds::transformed(box, m_boundsState[0], m_boundsState[1], m_boundsState[2],
                                   ViewBounds::sceneScale(states.scale));
}

bool OpenGLWidget::boundsStateChanged() const {
    const RenderStates& states = g_renderStates;
    const std::array<float, 5> now{float(states.rotationX), float(states.rotationY),
                                   float(states.rotationZ), float(states.scale), states.beta};
    return now != m_boundsState;
}

void OpenGLWidget::frameView(bool placeLight) {
    const int viewType = g_renderStates.viewType;
    const SceneBounds box = viewBounds();
    const bool graphShown = !box.empty();
    m_framedBounds = box;
    m_renderer->setSceneBounds(box);
    const SceneBounds& framed = graphShown ? box : emptySceneBox();
    CameraFraming::framePerspective(framed, viewType, aspect(), m_cameraControl,
                                    *m_perspectiveCamera);
    CameraFraming::frameOrtho(framed, viewType, aspect(), *m_orthoCamera);
    if (placeLight && graphShown) {
        const Vector3 light = CameraFraming::lightPosition(box);
        std::copy(light.begin(), light.end(), m_light->m_position);
    }
    m_framedView = viewType;
    m_framedMode3D = g_renderStates.mode3D;
    m_cameraMoved = false;
}

void OpenGLWidget::followSceneTransform() {
    // The scene was turned, scaled or straightened: the cameras stay where the user left them,
    // but their clipping planes and the renderer's floor follow the new box.
    const SceneBounds box = viewBounds();
    if (box.empty()) return;
    m_framedBounds = box;
    m_renderer->setSceneBounds(box);
    m_cameraControl.setBounds(box);
    m_cameraControl.placePerspectiveCamera(*m_perspectiveCamera);
    CameraFraming::fitOrthoPlanes(box, *m_orthoCamera);
}

void OpenGLWidget::fitView() {
    frameView(false);
    requestFrame();
}

void OpenGLWidget::lookAtPoint(const Vector3& drawnPoint) {
    m_cameraMoved = true;
    m_cameraControl.lookAtPoint(drawnPoint, *m_orthoCamera, *m_perspectiveCamera);
    requestFrame();
}

void OpenGLWidget::paintGL() {
    // Every change until now is in this frame; one first noticed here asks for no other.
    if (takeStateChanges()) m_scheduler.requestFrame();
    const FrameScheduler::Frame frame = m_scheduler.beginFrame(m_renderer->frameComplete());
    const bool resume = frame == FrameScheduler::Frame::NextPart;
    setDefaultFramebuffer(defaultFramebufferObject());
    QElapsedTimer timer;
    timer.start();
    if (resume) {
        m_renderer->continueFrame();
        m_lastFrameMilliseconds += timer.elapsed();
    } else {
        m_mode3D = g_renderStates.mode3D;
        // A view of another shape, or the other camera, comes on screen: frame it. A new view
        // also gets the light placed for it.
        if (g_renderStates.viewType != m_framedView || m_mode3D != m_framedMode3D) {
            frameView(g_renderStates.viewType != m_framedView);
        } else if (boundsStateChanged()) {
            followSceneTransform();
        }
        Camera* camera = m_mode3D ? m_perspectiveCamera.get() : m_orthoCamera.get();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        m_renderer->setDraftFrames(frame == FrameScheduler::Frame::Draft);
        m_renderer->render(FrameInput{g_renderStates, camera, m_light.get()});
        m_lastFrameMilliseconds = timer.elapsed();
    }
    checkGraphicsMemory("drawing");
    checkDrawingProblems();
    if (g_renderStates.overlay || m_painterOverlay) paintOverlay();
    // The window answers between the parts of a large frame.
    if (!m_renderer->frameComplete()) QTimer::singleShot(0, this, [this] { update(); });
}

void OpenGLWidget::paintOverlay() {
    {
        QPainter painter(this);
        // Labels go under the overlay's text.
        if (m_painterOverlay) m_painterOverlay(painter);
        if (g_renderStates.overlay) {
            const SelectionHighlight& highlight = m_renderer->highlight();
            OverlayPainter::paint(painter, m_renderer->selection(), highlight.incoming,
                                  highlight.outgoing, static_cast<int>(m_lastFrameMilliseconds),
                                  width(), height());
        }
    }
    // The toolkit's painting leaves its own GL state behind; the next frame starts from ours.
    applyViewerDepthState();
    applyViewerLineState();
    glClearColor(m_backgroundColor.redF(), m_backgroundColor.greenF(), m_backgroundColor.blueF(),
                 m_backgroundColor.alphaF());
}

bool OpenGLWidget::createObjects(View** views) {
    m_lacksGraphicsMemory = false;
    GraphicsMemory::takeFailure();
    bool made = false;
    try {
        made = g_graph && m_renderer->CreateObjects(*g_graph, views);
    } catch (const std::bad_alloc&) {
    }
    if (!made) {
        m_lacksGraphicsMemory = true;
        GraphicsMemory::takeFailure();
        emit graphicsMemoryFailed(
            tr("The graphics driver ran out of memory while making the graph's objects: the "
               "graph is not shown."));
        return false;
    }
    checkGraphicsMemory("making the graph's objects");
    return true;
}

QImage OpenGLWidget::shownPicture() {
    if (!m_initialized) return QImage();
    makeCurrent();
    const int w = width() * devicePixelRatio(), h = height() * devicePixelRatio();
    QImage image(w, h, QImage::Format_RGBA8888);
    glBindFramebuffer(GL_FRAMEBUFFER, defaultFramebufferObject());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, image.bits());
    doneCurrent();
    // The alpha holds blending leftovers, not transparency; GL's rows run bottom-up.
    return image.mirrored().convertToFormat(QImage::Format_RGB32);
}

void OpenGLWidget::adoptCurveControls(std::unique_ptr<CurveControls> controls) {
    m_renderer->adoptCurveControls(std::move(controls));
}

void OpenGLWidget::adoptSceneGeometry(std::unique_ptr<SceneGeometry> geometry) {
    m_renderer->adoptSceneGeometry(std::move(geometry));
}

bool OpenGLWidget::setView(View** view) {
    // Before the context exists the objects cannot be made; initializeGL makes them.
    if (!m_initialized) {
        m_views = view;
        m_pendingViews = view;
        return true;
    }
    makeCurrent();
    const bool made = createObjects(view);
    doneCurrent();
    requestFrame();
    const bool keepCamera = m_keepCamera && m_framedView >= 0;
    m_keepCamera = false;
    if (!made) return false;
    m_views = view;
    if (keepCamera) {
        // Another part of the same graph: the box, the clipping planes and the floor follow it,
        // the cameras stay.
        followSceneTransform();
    } else {
        frameView(true);
    }
    return true;
}

void OpenGLWidget::pickAt(const QPointF& position) {
    const double ratio = devicePixelRatioF();
    makeCurrent();
    m_renderer->pick(static_cast<int>(position.x() * ratio),
                     static_cast<int>(position.y() * ratio));
    doneCurrent();
    requestFrame();
}

bool OpenGLWidget::pickVertexAt(const QPointF& position, uint32_t& id) {
    pickAt(position);
    const Selection& picked = m_renderer->selection();
    if (picked.m_type != Selection::VERTEX || !picked.m_vertex) return false;
    id = picked.m_vertex->getId();
    return true;
}

namespace {

SurfaceInput::Modifiers modifiersOf(const QInputEvent* event) {
    const Qt::KeyboardModifiers held = event->modifiers();
    if (held == Qt::NoModifier) return SurfaceInput::Modifiers::None;
    return held == Qt::AltModifier ? SurfaceInput::Modifiers::AltOnly
                                   : SurfaceInput::Modifiers::Other;
}

int buttonsOf(Qt::MouseButtons buttons) {
    return (buttons & Qt::LeftButton ? SurfaceInput::Left : 0) |
           (buttons & Qt::RightButton ? SurfaceInput::Right : 0) |
           (buttons & Qt::MiddleButton ? SurfaceInput::Middle : 0) |
           // Another button held makes the set match no gesture, as it did not before.
           (buttons & ~(Qt::LeftButton | Qt::RightButton | Qt::MiddleButton) ? 8 : 0);
}

SurfaceInput::Gesture mouseGesture(SurfaceInput::Gesture::Type type, const QMouseEvent* event) {
    SurfaceInput::Gesture gesture{type};
    gesture.x = static_cast<float>(event->position().x());
    gesture.y = static_cast<float>(event->position().y());
    gesture.button = buttonsOf(event->button());
    gesture.held = buttonsOf(event->buttons());
    gesture.modifiers = modifiersOf(event);
    return gesture;
}

SurfaceInput::Key keyOf(int key) {
    switch (key) {
        case Qt::Key_Home:
            return SurfaceInput::Key::Home;
        case Qt::Key_F:
            return SurfaceInput::Key::F;
        case Qt::Key_W:
            return SurfaceInput::Key::W;
        case Qt::Key_A:
            return SurfaceInput::Key::A;
        case Qt::Key_S:
            return SurfaceInput::Key::S;
        case Qt::Key_D:
            return SurfaceInput::Key::D;
        case Qt::Key_R:
            return SurfaceInput::Key::R;
        default:
            return SurfaceInput::Key::Other;
    }
}

}  // namespace

void OpenGLWidget::handleGesture(const SurfaceInput::Gesture& gesture,
                                 const QPointF& globalPosition) {
    m_input->setMode3D(m_mode3D);
    m_input->setSurfaceSize(width(), height());
    const SurfaceInput::Action action = m_input->handle(gesture);
    if (action.cameraMoved) m_cameraMoved = true;
    if (action.moves) draftUntilRest();
    if (action.fitView) fitView();
    if (!action.pick) return;
    const QPointF at(gesture.x, gesture.y);
    uint32_t id = 0;
    if (!action.vertexDoubleClicked && !action.vertexMenu) {
        pickAt(at);
    } else if (pickVertexAt(at, id)) {
        if (action.vertexDoubleClicked) emit vertexDoubleClicked(id);
        if (action.vertexMenu) emit vertexMenuRequested(id, globalPosition.toPoint());
    }
}

void OpenGLWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    handleGesture(mouseGesture(SurfaceInput::Gesture::Type::DoubleClick, event));
}

void OpenGLWidget::mousePressEvent(QMouseEvent* event) {
    setFocus();
    std::cout << " mousePressEvent \n";
    handleGesture(mouseGesture(SurfaceInput::Gesture::Type::Press, event));
}

void OpenGLWidget::mouseMoveEvent(QMouseEvent* event) {
    std::cout << " mouseMoveEvent \n";
    handleGesture(mouseGesture(SurfaceInput::Gesture::Type::Move, event));
}

void OpenGLWidget::mouseReleaseEvent(QMouseEvent* event) {
    std::cout << " Stop Picking\n mouseReleaseEvent \n";
    handleGesture(mouseGesture(SurfaceInput::Gesture::Type::Release, event),
                  event->globalPosition());
}

void OpenGLWidget::wheelEvent(QWheelEvent* event) {
    SurfaceInput::Gesture gesture{SurfaceInput::Gesture::Type::Wheel};
    // 120 units are one notch; turning the wheel away from the user comes closer.
    gesture.wheelNotches = event->angleDelta().y() / 120.0;
    handleGesture(gesture);
    event->accept();
}

void OpenGLWidget::keyPressEvent(QKeyEvent* event) {
    SurfaceInput::Gesture gesture{SurfaceInput::Gesture::Type::KeyPress};
    gesture.key = keyOf(event->key());
    gesture.modifiers = modifiersOf(event);
    handleGesture(gesture);
}

void OpenGLWidget::keyReleaseEvent(QKeyEvent*) {}
