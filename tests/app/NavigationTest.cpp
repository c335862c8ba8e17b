// The drawing surface under real input: gestures against the camera change they cause, clicks that
// pick, keys and switches that frame the view, frames drawn on demand and drafts while moving. Run
// also under QT_SCALE_FACTOR=2, where the widget's pixels and the framebuffer's differ.
#include "AppTestSupport.h"
#include "FoundVertex.h"
#include "GraphStore.h"
#include "RenderImplementation.h"
#include "View.h"

#include <QtTest>

#include <cmath>

namespace {

const QSize kSurface(800, 480);  // widget pixels; not the 4:3 of the default

struct Snapshot {
    float distance, horizontal, vertical, orthoHeight;
    Vector3 centre, orthoEye;
    Matrix4 perspectiveView, orthoView;
};

Snapshot snapshot(const OpenGLWidget& s) {
    const CameraControl& c = s.cameraControl();
    // clang-format off
    return {c.distance(), c.horizontal(), c.vertical(), s.orthoCamera()->height, c.centre(),
            s.orthoCamera()->position(), s.perspectiveCamera()->view, s.orthoCamera()->view};
    // clang-format on
}

Vector3 project(const Camera& camera, const Vector3& p) {
    const Vector4 clip =
        math::transform(camera.projection, math::transform(camera.view, {p[0], p[1], p[2], 1}));
    return {clip[0] / clip[3], clip[1] / clip[3], clip[2] / clip[3]};
}

bool moved(const Vector3& a, const Vector3& b) {
    return std::fabs(a[0] - b[0]) + std::fabs(a[1] - b[1]) + std::fabs(a[2] - b[2]) > 1e-4f;
}

Vector3 corner(const SceneBounds& box, int i) {
    return {i & 1 ? box.max[0] : box.min[0], i & 2 ? box.max[1] : box.min[1],
            i & 4 ? box.max[2] : box.min[2]};
}

}  // namespace

class NavigationTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        g_renderStates = RenderStates();
        m_window = std::make_unique<MainWindow>();
        surface().setFixedSize(kSurface);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QVERIFY(m_window->openFile(kData + "ramiflex.xml"));
        QVERIFY(waitForFrame());
    }

    void cleanup() { m_window.reset(); }

    void surfaceFollowsItsSizeInDevicePixels() {
        OpenGLWidget& s = surface();
        if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) {
            QCOMPARE(s.devicePixelRatioF(), qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
        }
        const QSize device = kSurface * s.devicePixelRatioF();
        QCOMPARE(QSize(s.viewportWidth(), s.viewportHeight()), device);
        QCOMPARE(QSize(s.renderer()->surfaceWidth(), s.renderer()->surfaceHeight()), device);
        QCOMPARE(s.perspectiveCamera()->aspect, float(device.width()) / float(device.height()));
        // What is drawn spans most of the surface both ways; a picture of the wrong size would
        // fill only its lower left part.
        const QImage shot = s.grabFramebuffer();
        QCOMPARE(shot.size(), device);
        QRect drawn;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x) {
                if (qGray(shot.pixel(x, y)) > 40) drawn |= QRect(x, y, 1, 1);
            }
        }
        QVERIFY(drawn.width() > 0.6 * device.width() && drawn.height() > 0.6 * device.height());
        // An untouched picture is framed again for a new shape, filling the narrow surface across;
        // a moved one keeps its zoom.
        s.setFixedSize(420, 640);
        QVERIFY(waitForFrame());
        float low = 2, high = -2;
        for (int i = 0; i < 8; ++i) {
            const Vector3 p = project(*s.perspectiveCamera(), corner(s.framedBounds(), i));
            QVERIFY(std::fabs(p[0]) <= 1 && std::fabs(p[1]) <= 1);
            low = std::min(low, p[0]);
            high = std::max(high, p[0]);
        }
        QVERIFY(high - low > 1.2f);
        sendWheel(&s, {100, 100}, 240);
        const float distance = s.distance();
        s.setFixedSize(kSurface);
        QVERIFY(waitForFrame());
        QCOMPARE(s.distance(), distance);
        QCOMPARE(s.perspectiveCamera()->aspect, float(kSurface.width()) / kSurface.height());
    }

    // Each gesture against what it changes; everything not named stays as it was.
    void gesturesMoveTheCameraTheyName() {
        struct Effect {
            float distanceFactor = 1, distanceAdd = 0, horizontal = 0, vertical = 0;
            float heightFactor = 1, heightAdd = 0;
            bool centreMoves = false, orthoEyeMoves = false;
        };
        const auto zoom3D = [](float factor, float add) { return Effect{factor, add}; };
        const auto zoom2D = [](float factor, float add) { return Effect{1, 0, 0, 0, factor, add}; };
        const Effect orbit{1, 0, 0.25f, 0.25f}, none;
        const Effect pan3D{1, 0, 0, 0, 1, 0, true}, pan2D{1, 0, 0, 0, 1, 0, false, true};
        const float in = 0.85f;  // one notch towards the scene
        const float altZoom = 2 * std::sqrt(0.25f * 0.25f + 0.25f * 0.25f);
        const Qt::KeyboardModifiers alt = Qt::AltModifier, none_ = {};
        const Qt::MouseButtons left = Qt::LeftButton, right = Qt::RightButton, wheel = {};
        const struct {
            const char* name;
            bool mode3D;
            Qt::MouseButtons buttons;  // none: the wheel, turned by move.y()
            Qt::KeyboardModifiers modifiers;
            QPoint move;
            Effect effect;
        } cases[] = {
            // clang-format off
            {"wheel away 3D",    true,  wheel, none_, {0, 120},    zoom3D(in, 0)},
            {"wheel back 3D",    true,  wheel, none_, {0, -240},   zoom3D(1 / (in * in), 0)},
            {"wheel away 2D",    false, wheel, none_, {0, 120},    zoom2D(in, 0)},
            {"right drag 3D",    true,  right, none_, {128, 96},   orbit},
            {"right drag 2D",    false, right, none_, {128, 96},   none},
            {"middle drag 3D",   true,  Qt::MiddleButton, none_, {120, -60}, pan3D},
            {"middle drag 2D",   false, Qt::MiddleButton, none_, {-80, 100}, pan2D},
            {"left drag picks",  true,  left, none_, {128, 96},    none},
            {"ALT left drag 3D", true,  left, alt, {128, 96},      orbit},
            {"ALT left drag 2D", false, left, alt, {128, -96},     pan2D},
            {"ALT both buttons", true,  left | right, alt, {128, 96}, none},
            {"ALT right drag 3D", true, right, alt, {128, 96},     zoom3D(1, altZoom)},
            {"ALT right drag 2D", false, right, alt, {-128, -96},  zoom2D(1, -altZoom)},
            {"ALT shift is no ALT", true, right, alt | Qt::ShiftModifier, {128, 96}, orbit},
            // clang-format on
        };
        for (const auto& c : cases) {
            setMode3D(c.mode3D);
            surface().fitView();
            const Snapshot before = snapshot(surface());
            const Camera& camera =
                c.mode3D ? *surface().perspectiveCamera() : *surface().orthoCamera();
            const Camera startCamera = camera;
            const QPointF start(300, 200);
            if (c.buttons == wheel) {
                sendWheel(&surface(), start, c.move.y());
            } else {
                sendDrag(&surface(), {start, start + c.move}, c.buttons, c.modifiers);
            }
            const Snapshot after = snapshot(surface());
            const Effect& e = c.effect;
            const float got[] = {after.distance, after.horizontal, after.vertical,
                                 after.orthoHeight};
            const float want[] = {before.distance * e.distanceFactor + e.distanceAdd,
                                  before.horizontal + e.horizontal, before.vertical + e.vertical,
                                  before.orthoHeight * e.heightFactor + e.heightAdd};
            for (int k = 0; k < 4; ++k) {
                QVERIFY2(std::fabs(got[k] - want[k]) < 1e-5f * std::max(1.0f, want[k]), c.name);
            }
            QVERIFY2(moved(after.centre, before.centre) == e.centreMoves, c.name);
            QVERIFY2(moved(after.orthoEye, before.orthoEye) == e.orthoEyeMoves, c.name);
            if (!e.centreMoves && !e.orthoEyeMoves) continue;
            // A pan carries the picture with the pointer: the point that was in the middle is now
            // where the pointer's move took it. The ALT pan keeps its drag deltas, which follow
            // the pointer on a 1024 x 768 surface; the middle drag follows it at any size.
            const Vector3 f = startCamera.forward();
            const Vector3& eye = before.orthoEye;
            const Vector3 middle =
                e.centreMoves ? before.centre
                              : Vector3{eye[0] + 3 * f[0], eye[1] + 3 * f[1], eye[2] + 3 * f[2]};
            const Vector3 at = project(camera, middle);
            const bool altPan = c.modifiers == alt;
            const float x =
                altPan ? CameraControl::deltaX(c.move.x()) : 2.0f * c.move.x() / kSurface.width();
            const float y =
                altPan ? CameraControl::deltaY(c.move.y()) : 2.0f * c.move.y() / kSurface.height();
            QVERIFY2(std::fabs(at[0] - x) < 1e-3f && std::fabs(at[1] + y) < 1e-3f, c.name);
        }
    }

    // A press and release on a vertex without a drag selects it, in 3D and 2D; a drag released
    // over it does not.
    void plainClickPicksTheVertexUnderThePointer() {
        m_window->rootedTreeButton->click();
        for (const bool mode3D : {true, false}) {
            setMode3D(mode3D);
            QVERIFY(m_window->openFile(kData + "ramiflex.xml"));  // nothing selected
            QVERIFY(waitForFrame());
            const uint32_t root = g_graph->getRoot()->getId();
            const LayoutRecord& r = m_window->view(0)->records().at(root);
            const Vector3 ndc =
                project(mode3D ? *surface().perspectiveCamera() : *surface().orthoCamera(),
                        {r.x, 1 - r.y, r.z});
            const QPointF at((ndc[0] + 1) / 2 * kSurface.width(),
                             (1 - ndc[1]) / 2 * kSurface.height());
            sendMouse(&surface(), QEvent::MouseButtonPress, {2, 2}, Qt::LeftButton, Qt::LeftButton);
            sendMouse(&surface(), QEvent::MouseMove, {40, 2}, Qt::NoButton, Qt::LeftButton);
            sendMouse(&surface(), QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
            QCOMPARE(surface().renderer()->selection().m_type, int(Selection::NOTHING));
            sendClick(&surface(), at);
            const Selection& picked = surface().renderer()->selection();
            QCOMPARE(picked.m_type, int(Selection::VERTEX));
            QCOMPARE(picked.m_vertex->getId(), root);
        }
    }

    // Home and F, and a switch of view or of 2D and 3D, frame the view again after any move;
    // ALT+F lowers the light instead.
    void keysAndSwitchesFrameTheViewAgain() {
        MainWindow& w = *m_window;
        // clang-format off
        const std::pair<const char*, std::function<void()>> framers[] = {
            {"Home", [&] { sendKey(&surface(), Qt::Key_Home); }}, {"F", [&] { sendKey(&surface(), Qt::Key_F); }},
            {"rooted", [&] { w.rootedTreeButton->click(); }}, {"radial", [&] { w.radialTreeButton->click(); }},
            {"2D", [&] { setMode3D(false); }}, {"3D", [&] { setMode3D(true); }},
            {"balloon", [&] { w.balloonTreeButton->click(); }}};
        // clang-format on
        for (const auto& [name, frame] : framers) {
            sendDrag(&surface(), {{300, 200}, {420, 260}}, Qt::RightButton);
            sendDrag(&surface(), {{300, 200}, {350, 260}}, Qt::MiddleButton);
            sendWheel(&surface(), {300, 200}, 360);
            const float lightY = surface().light()->m_position[1];
            frame();
            QVERIFY2(waitForFrame(), name);
            const Snapshot framed = snapshot(surface());
            surface().fitView();
            QVERIFY2(snapshot(surface()).perspectiveView == framed.perspectiveView, name);
            QVERIFY2(snapshot(surface()).orthoView == framed.orthoView, name);
            // Keys leave the light; a new view puts it above the new view's box.
            QVERIFY2(surface().light()->m_position[1] == lightY ||
                         surface().light()->m_position[1] > surface().framedBounds().max[1],
                     name);
        }
        const float lightY = surface().light()->m_position[1];
        sendKey(&surface(), Qt::Key_F, Qt::AltModifier);
        QCOMPARE(surface().light()->m_position[1], float(lightY - double(0.05f)));
    }

    // Frames are drawn on demand: none while nothing changes, one after each change. While input
    // moves the picture, frames are drafts without the shadow pass; once input rests the full
    // frame follows, the same to the pixel as one drawn without the move.
    void framesFollowChangesAndMovesDrawDraftsFirst() {
        OpenGLWidget& s = surface();
        MainWindow& w = *m_window;
        const RenderImplementation& renderer = *s.renderer();
        g_renderStates.overlay = false;  // its frame time differs from frame to frame
        // A change first noticed while drawing is in that frame and asks for no second one.
        const quint64 before = s.framesDrawn();
        s.repaint();
        QVERIFY(waitForFrame());
        QTest::qWait(100);
        QCOMPARE(s.framesDrawn(), before + 1);
        QSlider* rotation = w.rotateXSlider;
        const struct {
            const char* name;
            bool moves;  // and leaves the picture where it was once framed again
            std::function<void()> change;
        } changes[] = {
            // clang-format off
            {"orbit", true, [&] { sendDrag(&s, {{300, 200}, {420, 260}}, Qt::RightButton); }},
            {"pan", true, [&] { sendDrag(&s, {{300, 200}, {350, 260}}, Qt::MiddleButton); }},
            {"wheel", true, [&] { sendWheel(&s, {300, 200}, 240); }},
            {"ALT zoom", true, [&] { sendDrag(&s, {{300, 200}, {380, 250}}, Qt::RightButton, Qt::AltModifier); }},
            {"light key", true, [&] { sendKey(&s, Qt::Key_R, Qt::AltModifier); }},
            {"slider held", true, [&] {
                rotation->setSliderDown(true);
                rotation->setValue(rotation->value() + 40);
                rotation->setValue(rotation->value() - 40);
                rotation->setSliderDown(false);
            }},
            {"grid box", false, [&] { w.drawGridBox->click(); }},
            {"render state written directly", false, [&] { g_renderStates.relationStartColor[0] = 0.5f; }},
            {"pick", false, [&] { sendClick(&s, {400, 240}); }},
            {"found vertex", false, [&] { QVERIFY(showFoundVertex(s, g_graph->vertices().begin()->first)); }},
            {"size", false, [&] { s.setFixedSize(640, 400); }},
            {"graph", false, [&] { QVERIFY(w.openFile(kData + "tiny.rsf")); }},
            // clang-format on
        };
        for (const auto& [name, moves, change] : changes) {
            s.fitView();
            QVERIFY2(waitForFrame(), name);
            const quint64 frames = s.framesDrawn();
            QTest::qWait(200);
            QVERIFY2(s.framesDrawn() == frames, name);  // idle
            const float lightY = s.light()->m_position[1];
            const QImage full = s.grabFramebuffer();
            const uint64_t shadowPasses = renderer.shadowPasses();
            change();
            if (moves) {
                QVERIFY2(s.drawsDrafts(), name);
                // Back where the picture was, still within the move: a draft of the same picture.
                sendKey(&s, Qt::Key_Home);
                s.light()->m_position[1] = lightY;
                const QImage draft = s.grabFramebuffer();
                QVERIFY2(renderer.shadowPasses() == shadowPasses, name);
                QVERIFY2(draft.size() == full.size() && draft != full, name);
            }
            QVERIFY2(waitForFrame(), name);
            QVERIFY2(s.framesDrawn() > frames, name);
            QVERIFY2(!s.drawsDrafts() && !renderer.draftFrames(), name);
            if (moves) QVERIFY2(s.grabFramebuffer() == full, name);
        }
        // A control that changes nothing draws nothing.
        const quint64 frames = s.framesDrawn();
        w.balloonTreeButton->click();
        QTest::qWait(200);
        QVERIFY(s.showsCurrentState());
        QCOMPARE(s.framesDrawn(), frames);
    }

private:
    OpenGLWidget& surface() { return *m_window->openGLWidget; }

    bool waitForFrame() { return waitForCurrentFrame(surface()); }

    void setMode3D(bool on) {
        if (m_window->mode3DBox->isChecked() != on) m_window->mode3DBox->click();
        QVERIFY(waitForFrame());
    }

    std::unique_ptr<MainWindow> m_window;
};

QTEST_MAIN(NavigationTest)
#include "NavigationTest.moc"
